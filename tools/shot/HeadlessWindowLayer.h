#pragma once
// A window layer without a windowing system, for running the application
// shell offscreen (the screenshot tool, tests, benchmarks): windows are plain
// records with their procedure, messages wait in one in-memory queue, the
// screen is 1024 x 768, timers never fire (the caller runs ticks itself),
// and the window's mode and the wait for the retrace are accepted and change
// nothing.
//
// Threads: PostMessage from any thread; everything else on the main thread.

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "app/IWindowLayer.h"

class HeadlessWindowLayer : public IWindowLayer {
public:
    HeadlessWindowLayer() = default;
    ~HeadlessWindowLayer() override;
    HeadlessWindowLayer(const HeadlessWindowLayer&) = delete;
    HeadlessWindowLayer& operator=(const HeadlessWindowLayer&) = delete;

    bool RegisterClass(const char* className, WNDPROC proc) override;
    void UnregisterClass(const char* className) override;
    HWND CreateWindow(const char* className, const char* title, int width, int height) override;
    void GetScreenSize(int* width, int* height) override;
    void MoveWindow(HWND window, int x, int y) override;
    void ShowWindow(HWND window) override;
    bool SetFullscreen(HWND window, bool fullscreen, int width, int height) override;
    bool SetVSync(bool on) override;
    void DestroyWindow(HWND window) override;
    bool IsWindow(HWND window) override;
    LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostQuitMessage(int exitCode) override;
    bool SetTimer(HWND window, UINT id, UINT periodMs) override;
    void KillTimer(HWND window, UINT id) override;
    // Waits for the next queued message (timers never fire: with nothing
    // queued and no quit pending this blocks until another thread posts).
    int GetMessage(MSG* message, HWND window) override;
    LRESULT DispatchMessage(const MSG* message) override;

    // Waits at most timeoutMs for a queued message; false when none came.
    bool WaitMessage(MSG* message, int timeoutMs);
    // Calls the window's procedure directly (as a timer tick would).
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Window {
        WNDPROC proc;
        std::string title;
    };

    std::map<std::string, WNDPROC> mClasses;
    std::map<HWND, Window> mWindows; // guarded by mMutex
    int mNextWindow = 1;
    std::deque<MSG> mQueue; // guarded by mMutex
    bool mQuit = false;     // guarded by mMutex
    std::mutex mMutex;
    std::condition_variable mPosted;
};
