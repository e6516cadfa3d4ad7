// Layer 3, the top of the simulation: construction and the order of the
// tick. Calls the controls or the scripted player, the computer, the robot,
// magnet, laser and tree passes; nothing of the game calls it but the
// owner of the game (the frame tick, the simulator, tests and tools).

#include "game/CGame.h"

#include "game/GameGlobals.h"

CGame::CGame()
    : cameraPos(80.0, 180.0, 10.0), cameraYaw(-3.14159265358979323846 / 2.0)
{
}

CGame::~CGame()
{
    if (mReleaseLoaded != nullptr)
        (this->*mReleaseLoaded)();
}

namespace {

// The input as the map view sees it while actions are refused: the mouse
// where it is, no button down now or before.
SPlayerInput WithoutButtons(const SPlayerInput& input)
{
    SPlayerInput seen = input;
    seen.leftDown = false;
    seen.leftWasDown = false;
    seen.rightDown = false;
    seen.rightWasDown = false;
    return seen;
}

} // namespace

void CGame::Tick(const SPlayerInput& input, int worldTicks, bool acceptActions)
{
    LatchKeyPresses(input);
    if (state != STATE_PLAYING)
        return;

    // 1 and 2: the player's input and the view key; a scripted player acts
    // in the world ticks instead.
    if (playerActions == nullptr) {
        if (acceptActions || viewMode == VIEW_WALK)
            UpdatePlayerInput(input);
        else
            UpdatePlayerInput(WithoutButtons(input));
        UpdateViewToggle();
    }
    // 3.
    gShowCursor = (viewMode == VIEW_MAP);
    // 4 to 9, as often as the speed says, never past the end of the game.
    for (int n = 0; n < worldTicks && state == STATE_PLAYING; ++n)
        StepWorld();
    // 10.
    if (playerActions == nullptr)
        UpdateHelpToggle();
}

void CGame::StepWorld()
{
    if (playerActions != nullptr)
        playerActions->Apply(*this);
    UpdateComputer();
    UpdateRobots();
    UpdateMagnets();
    UpdateLasers();
    UpdateTrees();
    // 9. Red is tested first: when both sides lose their last robots in one
    // tick, red has lost.
    if (robotCount[0] == 0)
        state = STATE_RED_LOST;
    else if (robotCount[1] == 0)
        state = STATE_BLUE_LOST;
    ++ticksPlayed;
    if (observer != nullptr)
        observer->OnWorldTick(*this);
}
