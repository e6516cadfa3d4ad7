#pragma once
// The window layer over SDL2 (Implemented: classes with one procedure,
// windows created hidden and centred, shown, destroyed; PostMessage from any
// thread in posting order; one periodic timer with at most one tick pending;
// the close button and SDL's quit request as WM_CLOSE; the loop sleeps in
// SDL_WaitEventTimeout between events. Left out: parent windows, menus,
// styles, more than one timer). Windows allow high-DPI drawables, so the
// device's picture is scaled to the drawable's real pixels.
//
// A window handle is the SDL_Window* itself, so the OpenGL device can take
// it as its focus window. Events that are not messages (keys, mouse, focus)
// go to the registered listeners as GetMessage reads them. What happens to
// a window also reaches its procedure: minimised and restored (WM_SIZE),
// hidden and shown (WM_SHOWWINDOW), exposed (WM_PAINT), the keyboard focus
// lost and gained (WM_ACTIVATE); the listeners see those events first.
//
// Threads: PostMessage from any thread; everything else from the thread
// that created the layer, which must be the one that initialises SDL video.

#include <cstdint>
#include <mutex>

#include "app/IWindowLayer.h"
#include "platform/sdl/CTickClock.h"
#include "platform/sdl/ISDLEventListener.h"

class SDLWindowLayer : public IWindowLayer {
public:
    // openGLWindows: windows are created with SDL_WINDOW_OPENGL (what the
    // OpenGL device needs); tests on SDL's dummy video driver pass false.
    explicit SDLWindowLayer(bool openGLWindows = true);
    // Destroys the windows left and shuts down the video subsystem if this
    // layer started it.
    ~SDLWindowLayer() override;

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
    int GetMessage(MSG* message, HWND window) override;
    LRESULT DispatchMessage(const MSG* message) override;

    // Listeners are not owned; at most 8.
    void AddListener(ISDLEventListener* listener);
    void RemoveListener(ISDLEventListener* listener);

    int QuitCode() const { return mQuitCode; }

private:
    static constexpr int kMaxClasses = 8;
    static constexpr int kMaxWindows = 8;
    static constexpr int kMaxListeners = 8;

    struct SClass {
        bool used;
        char name[32];
        WNDPROC proc;
    };
    // A destroyed window stops receiving messages at once, but its
    // SDL_Window is only hidden: the device made for it may still draw the
    // rest of the tick and is deleted later. The SDL_Window is freed when
    // its class is unregistered or the layer is destroyed.
    struct SWindow {
        void* sdlWindow; // SDL_Window*, null for a free slot
        uint32_t id;     // SDL window id
        WNDPROC proc;
        bool alive;      // false once destroyed
        char className[32];
    };

    bool StartVideo();
    SWindow* FindWindow(HWND window);
    SWindow* FindWindowById(uint32_t id);
    // Turns an event into a message for the filter window (true) or hands it
    // to the listeners (false).
    bool Translate(const SDL_Event& event, MSG* message, HWND filter);
    // The message of a window event that the window's procedure is told
    // about; false for the others.
    static bool WindowEventMessage(uint8_t event, UINT* message, WPARAM* wParam);

    bool mOpenGLWindows;
    bool mStartedVideo;
    uint32_t mMessageEvent; // registered SDL event type of posted messages
    SClass mClasses[kMaxClasses];
    SWindow mWindows[kMaxWindows];
    std::mutex mWindowsLock; // guards mWindows against PostMessage's check
    ISDLEventListener* mListeners[kMaxListeners];
    bool mQuit;
    int mQuitCode;
    CTickClock mTimer;
    HWND mTimerWindow;
    UINT mTimerId;
};
