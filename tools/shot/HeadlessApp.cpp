#include "tools/shot/HeadlessApp.h"

#include <deque>

#include "app/AppGlobals.h"
#include "app/ErrorReport.h"
#include "app/FrameTick.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/TForm.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "game/LoadingThread.h"
#include "tools/shot/HeadlessMouse.h"
#include "tools/shot/HeadlessWindowLayer.h"

namespace {

// How long the loading thread may stay silent before loading counts as hung.
constexpr int kLoadTimeoutMs = 60000;

} // namespace

struct HeadlessApp::Held {
    std::deque<MSG> messages;
};

HeadlessApp::HeadlessApp(ID3D9Provider& graphics)
    : mWindows(new HeadlessWindowLayer()), mMouse(new HeadlessMouse()), mHeld(new Held())
{
    BeginRun(mWindows.get());
    gMessageBox = nullptr;
    UseSettings(SSettings()); // a new settings file's: 1024 x 768, sensitivity 200, help shown
    try {
        InitDisplay(graphics);
        InitGame(*mMouse);
    } catch (...) {
        Shutdown();
        gWindows = nullptr;
        throw;
    }
}

HeadlessApp::~HeadlessApp()
{
    Shutdown();
    gWindows = nullptr;
}

bool HeadlessApp::Pump(int progressLimit)
{
    while (!mLoaderDone) {
        MSG message;
        if (!mWindows->WaitMessage(&message, kLoadTimeoutMs))
            return false;
        if (message.message == CGame::kMsgLoadDone || message.message == kMsgLoadFailed) {
            mLoaderDone = true;
            mLoadFailed = message.message == kMsgLoadFailed;
            mHeld->messages.push_back(message);
        } else if (message.message == CGame::kMsgLoadProgress && gLoadProgress < progressLimit &&
                   mHeld->messages.empty()) {
            mWindows->DispatchMessage(&message);
        } else {
            mHeld->messages.push_back(message);
        }
    }
    return !mLoadFailed;
}

bool HeadlessApp::LoadUntil(int progress)
{
    return Pump(progress);
}

bool HeadlessApp::FinishLoading()
{
    if (!Pump(1 << 30) && !mLoadFailed)
        return false;
    while (!mHeld->messages.empty()) {
        MSG message = mHeld->messages.front();
        mHeld->messages.pop_front();
        mWindows->DispatchMessage(&message);
    }
    return !mLoadFailed && gLoaded;
}

void HeadlessApp::Tick()
{
    mWindows->Send(gForm->Handle(), WM_TIMER, 1, 0);
}
