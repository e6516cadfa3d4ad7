#pragma once
// Stand-ins for the platform in tests of the shell: a window layer whose
// timer fires whenever no posted message waits, a mouse whose next reading
// the test sets, and a key source the test presses.

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "input/CKeyLatch.h"
#include "input/DInput.h"
#include "platform/sdl/WindowLayer.h"

class FakeWindowLayer : public IWindowLayer {
public:
    bool RegisterClass(const char* className, WNDPROC proc) override;
    void UnregisterClass(const char* className) override;
    HWND CreateWindow(const char* className, const char* title, int width, int height) override;
    void GetScreenSize(int* width, int* height) override;
    void MoveWindow(HWND window, int x, int y) override;
    void ShowWindow(HWND window) override;
    void DestroyWindow(HWND window) override;
    bool IsWindow(HWND window) override;
    LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostQuitMessage(int exitCode) override;
    bool SetTimer(HWND window, UINT id, UINT periodMs) override;
    void KillTimer(HWND window, UINT id) override;
    int GetMessage(MSG* message, HWND window) override;
    LRESULT DispatchMessage(const MSG* message) override;

    // Called before each timer tick is delivered, with the tick's number (1, 2, ...).
    std::function<void(int tick)> onTick;
    int maxTicks = 20000; // then the layer reports a failed read
    int ticks = 0;
    std::vector<std::string> log; // "register TForm0", "create Tavrin 640x480", "move 320,272", "show", "destroy", ...
    std::vector<UINT> dispatched;
    int screenWidth = 1280, screenHeight = 1024;
    bool failRegister = false;
    bool failCreate = false;
    bool ignoreQuit = false; // PostQuitMessage does nothing (a read then fails once the window is gone)

private:
    struct SWindow {
        WNDPROC proc;
        bool alive;
    };
    std::map<std::string, WNDPROC> mClasses;
    std::map<HWND, SWindow> mWindows;
    std::deque<MSG> mQueue;
    std::mutex mLock;
    bool mQuit = false;
    bool mTimer = false;
    int mNextHandle = 1;
};

// A mouse whose readings come from `next` (used once, then zeroed).
class FakeMouseProvider : public IDirectInputProvider {
public:
    bool LoadLibrary() override { return true; }
    bool HasDirectInput8Create() override { return true; }
    HRESULT DirectInput8Create(HINSTANCE, DWORD, DIIID, void** out, void*) override;

    DIMOUSESTATE next{};
    HRESULT failPoll = DI_OK;
};
