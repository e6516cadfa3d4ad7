#include "game/GameGlobals.h"

bool gShowCursor = true;
bool gShowHelp = false;

double gMouseSensitivity = 200.0;
