#include "app/FrameTick.h"

#include "app/AppGlobals.h"
#include "app/ErrorReport.h"
#include "app/TForm.h"
#include "engine/DXDevice.h"
#include "engine/DXOverlay.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "game/GameSprites.h"
#include "game/LoadingThread.h"
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
    if (gLoaded) {
        if (GetAsyncKeyState(VK_ESCAPE) != 0) {
            gWindows->DestroyWindow(gForm->Handle());
            return;
        }
        gGame->Update();
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
    gSprites.Clear();
    gDevice->StartFrame();
    if (gLoaded) {
        gGame->Render();
    } else {
        DrawNumber(LoadingPercent(gLoadProgress, gLoadSteps), 256, 192);
        AddSprite(gTitleImage, 512, 384, true);
    }
    if (gShowCursor) {
        AddSprite(gCursorImage, gInput->CursorX(), gInput->CursorY(), false);
    }
    DrawOverlayPass();
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
