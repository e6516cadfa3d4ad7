// Drawing the world and the HUD. Main thread, after loading.

#include "game/CGame.h"

void CGame::Render()
{
}
