#include "game/GameVersion.h"

const char kGameVersion[] = TAVRIN_VERSION;
