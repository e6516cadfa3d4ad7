// The player's controls: steps 1, 2 and 10 of the tick. Main thread.

#include "game/CGame.h"

// Step 1: walk-view camera or map-view panel and map clicks.
void CGame::UpdatePlayerInput()
{
}

// Step 2: the view toggle key and the camera height limit.
void CGame::UpdateViewToggle()
{
}

// Step 10: the help toggle key.
void CGame::UpdateHelpToggle()
{
}
