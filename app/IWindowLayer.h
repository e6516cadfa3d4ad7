#pragma once
// The window layer as the application shell uses it: window classes with one
// window procedure each, a hidden window that is then centred and shown,
// messages posted from any thread, a periodic timer, and the message loop's
// read and dispatch. The shell depends only on this interface: the game's
// executable plugs in SDLWindowLayer (platform/sdl), the screenshot tool and
// the tests HeadlessWindowLayer (tools/shot). Nothing here includes a
// platform header.
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

// What happens to the window, as the windowing system reports it (a layer
// without one never sends these):
// WM_SIZE: wParam SIZE_MINIMIZED when it is minimised, SIZE_RESTORED or
// SIZE_MAXIMIZED when it comes back.
constexpr UINT WM_SIZE = 5;
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
// WM_ACTIVATE: wParam WA_ACTIVE when it gets the keyboard focus, WA_INACTIVE
// when it loses it.
constexpr UINT WM_ACTIVATE = 6;
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
// WM_PAINT: part of it is on the screen again.
constexpr UINT WM_PAINT = 15;
// WM_SHOWWINDOW: wParam 1 when it is shown, 0 when it is hidden.
constexpr UINT WM_SHOWWINDOW = 24;

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
    // Makes the window cover its screen (desktop-fullscreen: no change of
    // the display's mode), or a resizable framed window whose client area
    // is width x height, centred. False when the windowing system refuses.
    virtual bool SetFullscreen(HWND window, bool fullscreen, int width, int height) = 0;
    // Whether presenting waits for the display's vertical retrace. It
    // applies to the drawing context current on the calling thread (the
    // device's, on the main thread once the device exists). False when the
    // driver cannot wait; presenting then goes on without waiting.
    virtual bool SetVSync(bool on) = 0;
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
