#pragma once
// The window layer as the application shell uses it: window classes with one
// window procedure each, a hidden window that is then centred and shown,
// messages posted from any thread, a periodic timer, and the message loop's
// read and dispatch. SDLWindowLayer provides it over SDL2; tests provide
// fakes. Nothing here includes a platform header.
//
// Threads: PostMessage may be called from any thread; everything else only
// from the thread that runs the message loop (the main thread).

#include <cstdint>

typedef void* HWND; // the window; for SDLWindowLayer an SDL_Window*
typedef uint32_t UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;

typedef LRESULT (*WNDPROC)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

constexpr UINT WM_DESTROY = 2;
constexpr UINT WM_CLOSE = 16;
constexpr UINT WM_QUIT = 18;
constexpr UINT WM_TIMER = 275;
constexpr UINT WM_USER = 1024;

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class IWindowLayer {
public:
    virtual ~IWindowLayer() {}

    // Registers a window class; false when the class exists or the windowing
    // system cannot be started.
    virtual bool RegisterClass(const char* className, WNDPROC proc) = 0;
    virtual void UnregisterClass(const char* className) = 0;

    // Creates a hidden window of the class with a client area of width x
    // height; null on failure.
    virtual HWND CreateWindow(const char* className, const char* title, int width, int height) = 0;
    // The desktop size in pixels (0 x 0 when unknown).
    virtual void GetScreenSize(int* width, int* height) = 0;
    // Moves the window's top-left corner (outer frame) to (x, y).
    virtual void MoveWindow(HWND window, int x, int y) = 0;
    virtual void ShowWindow(HWND window) = 0;
    // Sends WM_DESTROY to the window's procedure (synchronously), then
    // destroys the window; messages still queued for it are dropped.
    virtual void DestroyWindow(HWND window) = 0;
    virtual bool IsWindow(HWND window) = 0;

    // What a window procedure returns for a message it does not handle.
    virtual LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // Queues a message for the window (any thread). Messages posted by one
    // thread are read in posting order. False when the window does not exist.
    virtual bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Makes the next GetMessage report WM_QUIT.
    virtual void PostQuitMessage(int exitCode) = 0;

    // Starts (or restarts) a periodic timer that delivers WM_TIMER with
    // wParam id. At most one WM_TIMER is pending at a time: a tick that comes
    // late delays the next one, never a burst of them.
    virtual bool SetTimer(HWND window, UINT id, UINT periodMs) = 0;
    virtual void KillTimer(HWND window, UINT id) = 0;

    // Waits (sleeping) for the next message for window (or for any window
    // when window is null). 1: a message; 0: WM_QUIT; -1: failure (the
    // window does not exist).
    virtual int GetMessage(MSG* message, HWND window) = 0;
    // Calls the procedure of the message's window and returns its result.
    virtual LRESULT DispatchMessage(const MSG* message) = 0;
};
