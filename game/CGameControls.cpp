// Layer 2: the player's controls and camera, steps 1, 2 and 10 of the tick,
// over the input record of the tick. Calls the economy and the move magnets
// and tells the game's observer of each of red's actions; called by the
// tick. Main thread, while the game is being played.
//
// Screen positions are overlay units of the 1024 x 768 screen. The map view
// shows the 64 x 64 cells in the square x 102..716, y 78..692 (projectionMap);
// the control panel picture sits at x 768..1023.

#include <cmath>

#include "game/CGame.h"
#include "game/GameGlobals.h"

namespace {

// The map square of the map view, inclusive, and its width in pixels for
// the cell arithmetic: cell = (pixel - low edge) * 64 / 615.
constexpr int kMapLeft = 102;
constexpr int kMapTop = 78;
constexpr int kMapRight = 716;
constexpr int kMapBottom = 692;
constexpr int kMapSpan = 615;

// The control panel's left edge; buttons are given relative to it in x.
constexpr int kPanelLeft = 768;

// A rectangle of the panel, inclusive: rx = x - kPanelLeft.
struct PanelBox {
    int rx0, y0, rx1, y1;
    bool Contains(int x, int y) const
    {
        const int rx = x - kPanelLeft;
        return rx >= rx0 && rx <= rx1 && y >= y0 && y <= y1;
    }
};

constexpr PanelBox kRobotsButton = {29, 44, 76, 91};
constexpr PanelBox kMagnetButton = {104, 44, 151, 91};
constexpr PanelBox kLaserButton = {179, 44, 226, 91};
constexpr PanelBox kPad = {29, 170, 226, 334};
constexpr PanelBox kEraserButton = {29, 346, 76, 393};
constexpr PanelBox kClearButton = {104, 346, 151, 393};

// The move-magnet pad: 3 x 3 buttons of 48 x 48 at a pitch of 75 across and
// 59 down, measured from (797, 169). Presses in the gaps select nothing.
constexpr int kPadLeft = 797;
constexpr int kPadTop = 169;
constexpr int kPadPitchX = 75;
constexpr int kPadPitchY = 59;
constexpr int kPadButton = 48;

// Walk view: the turn is mouse motion times sensitivity over this, in
// radians, computed in that order.
constexpr double kTurnDivisor = 35000.0;
// The camera never stays below this height (world units).
constexpr double kCameraMinHeight = 15.0;

// Asks for a key's press: whether it was pressed since the last time the
// controls asked, which the asking forgets.
bool TakeKeyPress(CGame& game, SPlayerInput::Key key)
{
    const bool pressed = game.keyPressPending[key];
    game.keyPressPending[key] = false;
    return pressed;
}

// A walking key counts when it is down now or was pressed since it was last
// asked for (a tap between two ticks still moves one step).
bool WalkKeyCounts(CGame& game, const SPlayerInput& input, SPlayerInput::Key key)
{
    const bool pressed = TakeKeyPress(game, key);
    return input.keyDown[key] || pressed;
}

// Tells the observer, if any, of an action the controls have just applied;
// it belongs to the world tick about to run.
void Report(const CGame& game, SRedAction::Type type, int x = 0, int y = 0, int moveType = 0)
{
    if (game.observer == nullptr)
        return;
    SRedAction action;
    action.tick = game.ticksPlayed + 1;
    action.type = type;
    action.x = x;
    action.y = y;
    action.moveType = moveType;
    game.observer->OnRedAction(action);
}

} // namespace

// Selecting a tool: the cursor cell is forgotten until the next tick without
// a new left press, and the preview shows the tool's model.
static void SelectTool(CGame& game, CGame::Tool tool)
{
    game.tool = tool;
    game.cursorX = -1;
    game.previewAngle = 0.0f;
    switch (tool) {
    case CGame::TOOL_MAGNET:
        game.previewModel = game.models[CGame::MODEL_RED_MAGNET];
        break;
    case CGame::TOOL_LASER:
        game.previewModel = game.models[CGame::MODEL_RED_LASER];
        game.previewAngle = CGame::kLaserBuiltAngle;
        break;
    case CGame::TOOL_ERASER:
        game.previewModel = game.models[CGame::MODEL_RED_X];
        break;
    default: // a move magnet; its angle is set by the caller
        game.previewModel = game.models[tool == CGame::TOOL_ATTRACT ? CGame::MODEL_MOVE_MAGNET0 : CGame::MODEL_MOVE_MAGNET1];
        break;
    }
}

void CGame::LatchKeyPresses(const SPlayerInput& input)
{
    for (int key = 0; key < SPlayerInput::KEY_COUNT; ++key)
        keyPressPending[key] = keyPressPending[key] || input.keyPressed[key];
}

// Step 1: walk-view camera, or map-view panel and map clicks.
void CGame::UpdatePlayerInput(const SPlayerInput& input)
{
    const int dx = input.dx;
    const int dy = input.dy;

    if (viewMode == VIEW_WALK) {
        cameraYaw = cameraYaw + dx * gMouseSensitivity / kTurnDivisor;
        cameraPitch = cameraPitch - dy * gMouseSensitivity / kTurnDivisor;
        // One world unit per key and tick in the ground plane; keys in this order.
        if (WalkKeyCounts(*this, input, SPlayerInput::KEY_W)) {
            cameraPos.x += std::cos(cameraYaw);
            cameraPos.y += std::sin(cameraYaw);
        }
        if (WalkKeyCounts(*this, input, SPlayerInput::KEY_S)) {
            cameraPos.x -= std::cos(cameraYaw);
            cameraPos.y -= std::sin(cameraYaw);
        }
        if (WalkKeyCounts(*this, input, SPlayerInput::KEY_A)) {
            cameraPos.x += std::sin(cameraYaw);
            cameraPos.y -= std::cos(cameraYaw);
        }
        if (WalkKeyCounts(*this, input, SPlayerInput::KEY_D)) {
            cameraPos.x -= std::sin(cameraYaw);
            cameraPos.y += std::cos(cameraYaw);
        }
        return;
    }

    const bool leftPressed = input.LeftPressed();
    const bool rightPressed = input.RightPressed();
    const bool leftDown = input.leftDown;
    const int x = input.cursorX;
    const int y = input.cursorY;

    // The panel: the first button that holds the cursor acts.
    if (leftPressed) {
        if (kRobotsButton.Contains(x, y)) {
            ProduceRobots(0);
            Report(*this, SRedAction::ROBOTS);
        } else if (kMagnetButton.Contains(x, y)) {
            SelectTool(*this, TOOL_MAGNET);
        } else if (kLaserButton.Contains(x, y)) {
            SelectTool(*this, TOOL_LASER);
        } else if (kPad.Contains(x, y)) {
            const int px = x - kPadLeft;
            const int py = y - kPadTop;
            if (px % kPadPitchX < kPadButton && py % kPadPitchY < kPadButton) {
                const int type = px / kPadPitchX + 3 * (py / kPadPitchY);
                SelectTool(*this, MoveMagnetTool(type));
                previewAngle = (type == 4) ? 0.0f : kMoveMagnetAngles[type];
            }
        } else if (kEraserButton.Contains(x, y)) {
            SelectTool(*this, TOOL_ERASER);
        } else if (kClearButton.Contains(x, y)) {
            ClearMoveMagnets(0);
            Report(*this, SRedAction::CLEAR);
        }
    }

    if (tool == TOOL_NONE)
        return;

    if (rightPressed) {
        tool = TOOL_NONE;
    } else if (leftPressed) {
        // The cell worked out in the ticks before; a press that has just
        // picked a tool finds it at -1.
        if (cursorX != -1) {
            if (tool == TOOL_MAGNET) {
                BuildMagnet(cursorX, cursorY, 0);
                Report(*this, SRedAction::MAGNET, cursorX, cursorY);
            } else if (tool == TOOL_LASER) {
                BuildLaser(cursorX, cursorY, 0);
                Report(*this, SRedAction::LASER, cursorX, cursorY);
            } else if (IsMoveMagnetTool(tool)) {
                AddMoveMagnet(cursorX, cursorY, MoveMagnetType(tool), 0);
                Report(*this, SRedAction::MOVE, cursorX, cursorY, MoveMagnetType(tool));
            }
        }
    } else if (x < kMapLeft || y < kMapTop || x > kMapRight || y > kMapBottom) {
        cursorX = -1;
    } else {
        cursorX = (x - kMapLeft) * kGridSize / kMapSpan;
        cursorY = (y - kMapTop) * kGridSize / kMapSpan;
    }

    // The eraser works while the button is held, so dragging erases a trail.
    // Only an erase that removed a move magnet is reported: a held button
    // asks every tick.
    if (leftDown && cursorX != -1 && tool == TOOL_ERASER) {
        const int before = moveMagnetCount[0];
        RemoveMoveMagnet(cursorX, cursorY, 0);
        if (moveMagnetCount[0] != before)
            Report(*this, SRedAction::ERASE, cursorX, cursorY);
    }
}

// Step 2: the view key and the camera height limit (the only rule on z).
void CGame::UpdateViewToggle()
{
    if (TakeKeyPress(*this, SPlayerInput::KEY_SPACE))
        viewMode = viewMode == VIEW_MAP ? VIEW_WALK : VIEW_MAP;
    if (cameraPos.z < kCameraMinHeight)
        cameraPos.z = kCameraMinHeight;
}

// Step 10: the help key.
void CGame::UpdateHelpToggle()
{
    if (TakeKeyPress(*this, SPlayerInput::KEY_F1))
        showHelp = !showHelp;
}
