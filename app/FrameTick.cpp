#include "app/FrameTick.h"

#include "app/AppGlobals.h"
#include "app/CGameRecorder.h"
#include "app/CPlayerComforts.h"
#include "app/CReplayViewer.h"
#include "app/ErrorReport.h"
#include "app/TForm.h"
#include "engine/DXDevice.h"
#include "engine/DXOverlay.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "game/GameSprites.h"
#include "game/LoadingThread.h"
#include "game/ReplayFormat.h"
#include "game/SPlayerInput.h"
#include "input/DXInput.h"
#include "input/KeyState.h"
#include "tlib/TException.h"

namespace {

constexpr UINT kTimerId = 1;
constexpr UINT kTimerPeriodMs = 20;

void SetOverlayStates(IDirect3DDevice9* device, bool overlay)
{
    if (overlay) {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ZENABLE, FALSE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
    } else {
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_ZENABLE, TRUE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    }
}

// The key of each of the record's keys, in SPlayerInput::Key order.
constexpr int kRecordKeys[SPlayerInput::KEY_COUNT] = {'W', 'A', 'S', 'D', VK_SPACE, VK_F1};

// The vertical motion the other way up (the one value without a negative
// is held at the largest).
int32_t Inverted(int32_t motion)
{
    return motion == INT32_MIN ? INT32_MAX : -motion;
}

// The player's input of this tick, for the game: the mouse as just polled
// and every key asked once, which takes its press. With InvertMouseY the
// record holds the vertical motion the other way up (the cursor does not
// move the other way), so that a replay of the record turns the same way.
SPlayerInput GatherPlayerInput()
{
    SPlayerInput input;
    input.dx = gInput->Dx();
    input.dy = gInvertMouseY ? Inverted(gInput->Dy()) : gInput->Dy();
    input.cursorX = gInput->CursorX();
    input.cursorY = gInput->CursorY();
    input.leftDown = gInput->LeftDown();
    input.leftWasDown = gInput->LeftWasDown();
    input.rightDown = gInput->RightDown();
    input.rightWasDown = gInput->RightWasDown();
    for (int key = 0; key < SPlayerInput::KEY_COUNT; ++key) {
        const short state = GetAsyncKeyState(kRecordKeys[key]);
        input.keyDown[key] = (state & KEY_DOWN_NOW) != 0;
        input.keyPressed[key] = (state & KEY_PRESSED_SINCE_QUERY) != 0;
    }
    return input;
}

} // namespace

int LoadingPercent(int progress, int steps)
{
    if (steps <= 0) {
        return 0;
    }
    return static_cast<int>(static_cast<int64_t>(progress) * 100 / steps);
}

void UpdateFrame()
{
    gInput->GetMouseState();
    if (gInput->CursorX() > 1023 || gInput->CursorY() > 767) {
        int32_t x = gInput->CursorX() < 1023 ? gInput->CursorX() : 1023;
        int32_t y = gInput->CursorY() < 767 ? gInput->CursorY() : 767;
        gInput->SetMousePosition(x, y);
    }
    if (gLoaded && GetAsyncKeyState(VK_ESCAPE) != 0) {
        gWindows->DestroyWindow(gForm->Handle());
        return;
    }
    if (gComforts != nullptr) {
        gComforts->ReadKeys(gLoaded);
    }
    if (gLoaded) {
        // Without the comforts (tests of the frame alone) the game keeps its
        // own pace: one world tick per timer tick.
        const CGamePace::SStep step = gComforts != nullptr ? gComforts->NextStep() : CGamePace::SStep{1, true};
        if (gViewer != nullptr) {
            // A replay: the pace counts recorded ticks; the player's input is not read.
            gViewer->Play(*gGame, step.worldTicks);
            return;
        }
        const SReplayRecord record{GatherPlayerInput(), step.worldTicks, step.acceptActions};
        gGame->Tick(record.input, record.worldTicks, record.acceptActions);
        if (gRecorder != nullptr) {
            gRecorder->Add(*gGame, record);
        }
    }
}

void DrawOverlayPass()
{
    if (gSprites.Count() == 0) {
        return;
    }
    IDirect3DDevice9* device = gDevice->Device();
    SetOverlayStates(device, true);
    gDevice->SetTransform(D3DTS_PROJECTION, gOverlayProjection);
    gDevice->SetTransform(D3DTS_VIEW, Orvel::CMatrix::Identity());
    gDevice->SetTransform(D3DTS_WORLD, Orvel::CMatrix::Identity());
    for (int i = 0; i < gSprites.Count(); ++i) {
        const Orvel::CDrawSprite& sprite = gSprites.Item(i);
        if (sprite.image == nullptr) {
            continue; // a picture that was never loaded draws nothing
        }
        if (sprite.centred) {
            sprite.image->DrawCentred(gDevice, sprite.x, sprite.y);
        } else {
            sprite.image->Draw(gDevice, sprite.x, sprite.y, 0, 0);
        }
    }
    SetOverlayStates(device, false);
}

void DrawFrame()
{
    if (gComforts != nullptr && !gComforts->Visible()) {
        return; // nobody can see it: nothing is drawn or presented
    }
    gSprites.Clear();
    gDevice->StartFrame();
    if (gLoaded) {
        gGame->Render();
        if (gViewer != nullptr) {
            gViewer->AddSprites(*gGame);
        }
        if (gComforts != nullptr) {
            gComforts->AddSprites(*gGame, gViewer != nullptr && gViewer->RecordedPause());
        }
    } else {
        DrawNumber(LoadingPercent(gLoadProgress, gLoadSteps), 256, 192);
        AddSprite(gTitleImage, 512, 384, true);
    }
    if (gShowCursor) {
        // A replay shows the recorded cursor once its game is loaded.
        const bool recorded = gLoaded && gViewer != nullptr;
        AddSprite(gCursorImage, recorded ? gViewer->CursorX() : gInput->CursorX(),
                  recorded ? gViewer->CursorY() : gInput->CursorY(), false);
    }
    DrawOverlayPass();
    if (gComforts != nullptr) {
        gComforts->TakeRequestedScreenshot();
    }
    gDevice->FinishFrame();
}

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        UpdateFrame();
        DrawFrame();
        return 0;
    case WM_CLOSE:
        gWindows->DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        gWindows->PostQuitMessage(0);
        return 0;
    case WM_SIZE:
    case WM_SHOWWINDOW:
    case WM_PAINT:
    case WM_ACTIVATE:
        if (gComforts != nullptr && gComforts->HandleMessage(message, wParam)) {
            return 0;
        }
        return gWindows->DefWindowProc(window, message, wParam, lParam);
    case CGame::kMsgLoadProgress:
        ++gLoadProgress;
        return 0;
    case CGame::kMsgLoadDone:
        gLoaded = true;
        gGame->WaitForLoader();
        // Keys pressed during loading are forgotten: the first game tick
        // sees only what is pressed from now on.
        GetAsyncKeyState(VK_ESCAPE);
        GetAsyncKeyState(VK_SPACE);
        GetAsyncKeyState(VK_F1);
        if (gComforts != nullptr) {
            gComforts->ForgetPaceKeys();
        }
        return 0;
    case kMsgLoadFailed: {
        gGame->WaitForLoader();
        const SLoaderFailure& failure = LoaderFailure();
        ReportError(failure.message, failure.hasCode, failure.code);
        ReportStartupFailure();
        gExitStatus = 1;
        gWindows->DestroyWindow(window);
        return 0;
    }
    default:
        return gWindows->DefWindowProc(window, message, wParam, lParam);
    }
}

void RunMessageLoop()
{
    HWND window = gForm->Handle();
    gWindows->SetTimer(window, kTimerId, kTimerPeriodMs);
    MSG message;
    for (;;) {
        int result = gWindows->GetMessage(&message, window);
        if (result == 0) {
            break;
        }
        if (result == -1) {
            if (!gWindows->IsWindow(window)) {
                break; // the window is gone: the loop is over as if it had quit
            }
            throw tlib::TException("GetMessage() failed");
        }
        gWindows->DispatchMessage(&message);
    }
    gWindows->KillTimer(window, kTimerId);
}
