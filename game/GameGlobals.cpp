#include "game/GameGlobals.h"

bool gShowCursor = true;
bool gShowHelp = false;

DXInput* gInput = nullptr;
double gMouseSensitivity = 200.0;
