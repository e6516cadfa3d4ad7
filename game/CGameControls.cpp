// The player's controls: steps 1, 2 and 10 of the tick. Main thread, while
// state is 0. The mouse comes from gInput as the frame polled it for this
// tick (a null gInput reads as a still mouse with no button down); keys come
// from GetAsyncKeyState.
//
// Screen positions are overlay units of the 1024 x 768 screen. The map view
// shows the 64 x 64 cells in the square x 102..716, y 78..692 (projectionMap);
// the control panel picture sits at x 768..1023.

#include <cmath>

#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "input/DXInput.h"
#include "input/KeyState.h"

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

// The tools (CGame::tool).
constexpr int kToolNone = 0;
constexpr int kToolMagnet = 1;
constexpr int kToolLaser = 2;
constexpr int kToolFirstMoveMagnet = 3; // type tool - 3, 3..11
constexpr int kToolLastMoveMagnet = 11;
constexpr int kToolAttractor = 7;       // type 4, the pad's centre
constexpr int kToolEraser = 13;

// The preview angle of the laser tool: pi as the float the laser is built with.
constexpr float kLaserPreviewAngle = 3.1415927f;

// Walk view: radians of turn per unit of mouse motion and unit of sensitivity.
constexpr double kTurnDivisor = 35000.0;
// The camera never stays below this height (world units).
constexpr double kCameraMinHeight = 15.0;

bool KeyCounts(int vk)
{
    return GetAsyncKeyState(vk) != 0;
}

bool KeyPressedSinceQuery(int vk)
{
    return (GetAsyncKeyState(vk) & KEY_PRESSED_SINCE_QUERY) != 0;
}

} // namespace

// Selecting a tool: the cursor cell is forgotten until the next tick without
// a new left press, and the preview shows the tool's model.
static void SelectTool(CGame& game, int tool)
{
    game.tool = tool;
    game.cursorX = -1;
    game.previewAngle = 0.0f;
    switch (tool) {
    case kToolMagnet:
        game.previewModel = game.models[CGame::MODEL_RED_MAGNET];
        break;
    case kToolLaser:
        game.previewModel = game.models[CGame::MODEL_RED_LASER];
        game.previewAngle = kLaserPreviewAngle;
        break;
    case kToolEraser:
        game.previewModel = game.models[CGame::MODEL_RED_X];
        break;
    default: // a move magnet; its angle is set by the caller
        game.previewModel = game.models[tool == kToolAttractor ? CGame::MODEL_MOVE_MAGNET0 : CGame::MODEL_MOVE_MAGNET1];
        break;
    }
}

// Step 1: walk-view camera, or map-view panel and map clicks.
void CGame::UpdatePlayerInput()
{
    const DXInput* input = gInput;
    const int dx = input ? input->Dx() : 0;
    const int dy = input ? input->Dy() : 0;

    if (viewMode == 0) {
        const double turn = gMouseSensitivity / kTurnDivisor;
        cameraYaw = cameraYaw + dx * turn;
        cameraPitch = cameraPitch - dy * turn;
        // One world unit per key and tick in the ground plane; keys in this order.
        if (KeyCounts('W')) {
            cameraPos.x += std::cos(cameraYaw);
            cameraPos.y += std::sin(cameraYaw);
        }
        if (KeyCounts('S')) {
            cameraPos.x -= std::cos(cameraYaw);
            cameraPos.y -= std::sin(cameraYaw);
        }
        if (KeyCounts('A')) {
            cameraPos.x += std::sin(cameraYaw);
            cameraPos.y -= std::cos(cameraYaw);
        }
        if (KeyCounts('D')) {
            cameraPos.x -= std::sin(cameraYaw);
            cameraPos.y += std::cos(cameraYaw);
        }
        return;
    }

    const bool leftPressed = input && input->LeftPressed();
    const bool rightPressed = input && input->RightPressed();
    const bool leftDown = input && input->LeftDown();
    const int x = input ? input->CursorX() : 0;
    const int y = input ? input->CursorY() : 0;

    // The panel: the first button that holds the cursor acts.
    if (leftPressed) {
        if (kRobotsButton.Contains(x, y)) {
            ProduceRobots(0);
        } else if (kMagnetButton.Contains(x, y)) {
            SelectTool(*this, kToolMagnet);
        } else if (kLaserButton.Contains(x, y)) {
            SelectTool(*this, kToolLaser);
        } else if (kPad.Contains(x, y)) {
            const int px = x - kPadLeft;
            const int py = y - kPadTop;
            if (px % kPadPitchX < kPadButton && py % kPadPitchY < kPadButton) {
                const int type = px / kPadPitchX + 3 * (py / kPadPitchY);
                SelectTool(*this, kToolFirstMoveMagnet + type);
                previewAngle = (type == 4) ? 0.0f : kMoveMagnetAngles[type];
            }
        } else if (kEraserButton.Contains(x, y)) {
            SelectTool(*this, kToolEraser);
        } else if (kClearButton.Contains(x, y)) {
            ClearMoveMagnets(0);
        }
    }

    if (tool == kToolNone)
        return;

    if (rightPressed) {
        tool = kToolNone;
    } else if (leftPressed) {
        // The cell worked out in the ticks before; a press that has just
        // picked a tool finds it at -1.
        if (cursorX != -1) {
            if (tool == kToolMagnet)
                BuildMagnet(cursorX, cursorY, 0);
            else if (tool == kToolLaser)
                BuildLaser(cursorX, cursorY, 0);
            else if (tool >= kToolFirstMoveMagnet && tool <= kToolLastMoveMagnet)
                AddMoveMagnet(cursorX, cursorY, tool - kToolFirstMoveMagnet, 0);
        }
    } else if (x < kMapLeft || y < kMapTop || x > kMapRight || y > kMapBottom) {
        cursorX = -1;
    } else {
        cursorX = (x - kMapLeft) * kGridSize / kMapSpan;
        cursorY = (y - kMapTop) * kGridSize / kMapSpan;
    }

    // The eraser works while the button is held, so dragging erases a trail.
    if (leftDown && cursorX != -1 && tool == kToolEraser)
        RemoveMoveMagnet(cursorX, cursorY, 0);
}

// Step 2: the view key and the camera height limit (the only rule on z).
void CGame::UpdateViewToggle()
{
    if (KeyPressedSinceQuery(VK_SPACE))
        viewMode = 1 - viewMode;
    if (cameraPos.z < kCameraMinHeight)
        cameraPos.z = kCameraMinHeight;
}

// Step 10: the help key.
void CGame::UpdateHelpToggle()
{
    if (KeyPressedSinceQuery(VK_F1))
        showHelp = !showHelp;
}
