#pragma once
// The application shell run offscreen: the real start-up (InitDisplay,
// InitGame with its loading thread), the real window procedure and frame
// (UpdateFrame, DrawFrame, the overlay pass) and the real Shutdown, over a
// window layer without windows and a mouse without hardware. Ticks run when
// the caller asks, not on a timer. For the screenshot tool, tests and
// benchmarks; one per process at a time, main thread only.
//
// The current directory must hold the Data folder. The settings are fixed
// (1024 x 768, sensitivity 200, help shown, the player's switches at their
// defaults) instead of read from a file; screenshots go to the current
// folder's Screenshots.

#include <memory>

#include "engine/D3D9.h"

class HeadlessMouse;
class HeadlessWindowLayer;

class HeadlessApp {
public:
    // Runs start-up with graphics as the device library. Raises what
    // InitDisplay and InitGame raise; what was created is shut down first.
    explicit HeadlessApp(ID3D9Provider& graphics);
    // Shutdown: waits for the loading thread, deletes the process objects.
    ~HeadlessApp();
    HeadlessApp(const HeadlessApp&) = delete;
    HeadlessApp& operator=(const HeadlessApp&) = delete;

    // Handles the loading thread's first `progress` progress messages and
    // waits until the thread has posted its last message, keeping that and
    // any later progress back: the loading screen can then be drawn at a
    // fixed percentage with the loader finished. False when the loading
    // failed or nothing came for a minute.
    bool LoadUntil(int progress);
    // Handles every loading message still queued or held back, the done
    // message included (the game is loaded afterwards). False when the
    // loading failed (the window procedure has reported it) or hung.
    bool FinishLoading();

    // One timer tick through the window procedure: UpdateFrame, DrawFrame.
    void Tick();

    HeadlessMouse& Mouse() { return *mMouse; }

private:
    bool Pump(int progressLimit);

    std::unique_ptr<HeadlessWindowLayer> mWindows;
    std::unique_ptr<HeadlessMouse> mMouse;
    struct Held;
    std::unique_ptr<Held> mHeld;
    bool mLoaderDone = false;
    bool mLoadFailed = false;
};
