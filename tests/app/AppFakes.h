#pragma once
// The platform for tests of the shell: the headless window layer with a timer
// that ticks whenever no posted message waits, and the frame's globals set up
// on the recording device with the headless mouse. Main thread only, except
// that other threads may post.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/AppGlobals.h"
#include "app/CPlayerComforts.h"
#include "app/FrameTick.h"
#include "app/Startup.h"
#include "app/TForm.h"
#include "engine/DXGraphics.h"
#include "engine/DXOverlay.h"
#include "game/GameGlobals.h"
#include "game/GameSprites.h"
#include "input/CKeyLatch.h"
#include "input/DXInput.h"
#include "input/KeyState.h"
#include "platform/recording/RecordingProvider.h"
#include "tools/shot/HeadlessMouse.h"
#include "tools/shot/HeadlessWindowLayer.h"

// Reads wait 1 ms for a posted message, then deliver the timer's next tick
// (while the timer runs). Main-thread calls are logged.
class FakeWindowLayer : public HeadlessWindowLayer {
public:
    std::function<void(int tick)> onTick; // before each tick, with its number 1, 2, ...
    int maxTicks = 20000;                 // then a read fails
    int ticks = 0;
    // "create Tavrin 640x480", "move 192,144", "timer 20", "unregister",
    // "fullscreen 0 1024x768", "vsync 1"
    std::vector<std::string> log;
    bool ignoreQuit = false; // then the loop sees the window gone instead
    bool refuseFullscreen = false, refuseVSync = false;
    int screenWidth = 1024, screenHeight = 768; // as the headless layer says

    void UnregisterClass(const char* name) override
    {
        log.push_back("unregister");
        HeadlessWindowLayer::UnregisterClass(name);
    }
    HWND CreateWindow(const char* name, const char* title, int width, int height) override
    {
        log.push_back(std::string("create ") + title + " " + std::to_string(width) + "x" + std::to_string(height));
        return HeadlessWindowLayer::CreateWindow(name, title, width, height);
    }
    void MoveWindow(HWND, int x, int y) override
    {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void GetScreenSize(int* width, int* height) override
    {
        *width = screenWidth;
        *height = screenHeight;
    }
    bool SetFullscreen(HWND, bool fullscreen, int width, int height) override
    {
        log.push_back("fullscreen " + std::to_string(fullscreen) + " " + std::to_string(width) + "x" +
                      std::to_string(height));
        return !refuseFullscreen;
    }
    bool SetVSync(bool on) override
    {
        log.push_back("vsync " + std::to_string(on));
        return !refuseVSync;
    }
    void PostQuitMessage(int) override { mQuit = !ignoreQuit; }
    bool SetTimer(HWND, UINT, UINT periodMs) override
    {
        log.push_back("timer " + std::to_string(periodMs));
        return mTimer = true;
    }
    void KillTimer(HWND, UINT) override { mTimer = false; }
    int GetMessage(MSG* message, HWND window) override
    {
        if (std::exchange(mQuit, false))
            return 0;
        if (!IsWindow(window))
            return -1;
        if (WaitMessage(message, 1)) // the wait gives the loading thread time
            return 1;
        if (!mTimer || ticks >= maxTicks)
            return -1;
        ++ticks;
        if (onTick)
            onTick(ticks);
        *message = MSG{window, WM_TIMER, 1, 0};
        return 1;
    }

private:
    bool mQuit = false, mTimer = false;
};

// The frame's globals: a 1024 x 768 recording device, plain pictures, the
// overlay projection, the mouse and the 640 x 480 main window; nothing loaded.
struct FrameRig {
    RecordingProvider provider;
    FakeWindowLayer windows;
    HeadlessMouse mouse;
    CKeyLatch keys;

    FrameRig()
    {
        gWindows = &windows;
        gGraphics = new Orvel::DXGraphics(provider);
        gDevice = gGraphics->CreateDevice(nullptr, 1024, 768);
        std::vector<uint32_t> pixels(64 * 64, 0xFF102030u);
        gCursorImage = new Orvel::DXOverlay(gDevice, 64, 64, 64, 64, pixels.data());
        gTitleImage = new Orvel::DXOverlay(gDevice, 32, 16, 32, 16, pixels.data());
        for (int d = 0; d < 10; ++d)
            gDigitImages[d] = new Orvel::DXOverlay(gDevice, gDigitWidths[d], 23, 32, 32, pixels.data());
        gOverlayProjection = Orvel::CMatrix::Identity();
        gOverlayProjection.m[1][1] = -1.0;
        LoadDirectInputLibrary(mouse);
        gInput = new DXInput(nullptr);
        gForm = new TForm(MainWindowProc, nullptr);
        gForm->Create(nullptr, "Tavrin", 640, 480, 0);
        gInput->CreateMouse(gForm->Handle());
        SetKeySource(&keys);
        gLoaded = false;
        gLoadProgress = 0;
        gLoadSteps = 19;
        gShowCursor = true;
        gSprites.Clear();
    }
    // The player's comforts as start-up makes them, writing into folder.
    void AddComforts(const std::string& folder = ".")
    {
        gComforts = new CPlayerComforts(gForm->Handle(), folder);
    }
    ~FrameRig()
    {
        Shutdown();
        SetKeySource(nullptr);
        gLoaded = false;
        gWindows = nullptr;
    }
};
