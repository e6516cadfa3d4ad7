#include "platform/sdl/SDLWindowLayer.h"

#include <SDL.h>

#include <cstring>

SDLWindowLayer::SDLWindowLayer(bool openGLWindows)
    : mOpenGLWindows(openGLWindows), mStartedVideo(false), mMessageEvent(0), mClasses(), mWindows(),
      mListeners(), mQuit(false), mQuitCode(0), mTimerWindow(nullptr), mTimerId(0)
{
}

SDLWindowLayer::~SDLWindowLayer()
{
    for (SWindow& w : mWindows) {
        if (w.sdlWindow != nullptr) {
            SDL_DestroyWindow(static_cast<SDL_Window*>(w.sdlWindow));
            w.sdlWindow = nullptr;
        }
    }
    if (mStartedVideo) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

bool SDLWindowLayer::StartVideo()
{
    if (mMessageEvent != 0) {
        return true;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            return false;
        }
        mStartedVideo = true;
    }
    uint32_t type = SDL_RegisterEvents(1);
    if (type == static_cast<uint32_t>(-1)) {
        return false;
    }
    mMessageEvent = type;
    return true;
}

bool SDLWindowLayer::RegisterClass(const char* className, WNDPROC proc)
{
    if (className == nullptr || proc == nullptr || std::strlen(className) >= sizeof(mClasses[0].name)) {
        return false;
    }
    SClass* free = nullptr;
    for (SClass& c : mClasses) {
        if (c.used && std::strcmp(c.name, className) == 0) {
            return false;
        }
        if (!c.used && free == nullptr) {
            free = &c;
        }
    }
    if (free == nullptr || !StartVideo()) {
        return false;
    }
    free->used = true;
    std::strcpy(free->name, className);
    free->proc = proc;
    return true;
}

void SDLWindowLayer::UnregisterClass(const char* className)
{
    if (className == nullptr) {
        return;
    }
    for (SClass& c : mClasses) {
        if (c.used && std::strcmp(c.name, className) == 0) {
            c.used = false;
        }
    }
    std::lock_guard<std::mutex> lock(mWindowsLock);
    for (SWindow& w : mWindows) {
        if (w.sdlWindow != nullptr && !w.alive && std::strcmp(w.className, className) == 0) {
            SDL_DestroyWindow(static_cast<SDL_Window*>(w.sdlWindow));
            w.sdlWindow = nullptr;
        }
    }
}

HWND SDLWindowLayer::CreateWindow(const char* className, const char* title, int width, int height)
{
    const SClass* cls = nullptr;
    for (const SClass& c : mClasses) {
        if (c.used && className != nullptr && std::strcmp(c.name, className) == 0) {
            cls = &c;
        }
    }
    if (cls == nullptr || width <= 0 || height <= 0) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(mWindowsLock);
    SWindow* slot = nullptr;
    for (SWindow& w : mWindows) {
        if (w.sdlWindow == nullptr) {
            slot = &w;
            break;
        }
    }
    if (slot == nullptr) {
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | (mOpenGLWindows ? SDL_WINDOW_OPENGL : 0);
    SDL_Window* window = SDL_CreateWindow(title != nullptr ? title : "", SDL_WINDOWPOS_UNDEFINED,
                                          SDL_WINDOWPOS_UNDEFINED, width, height, flags);
    if (window == nullptr) {
        return nullptr;
    }
    slot->sdlWindow = window;
    slot->id = SDL_GetWindowID(window);
    slot->proc = cls->proc;
    slot->alive = true;
    std::strcpy(slot->className, cls->name);
    return window;
}

void SDLWindowLayer::GetScreenSize(int* width, int* height)
{
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
    } else {
        *width = 0;
        *height = 0;
    }
}

void SDLWindowLayer::MoveWindow(HWND window, int x, int y)
{
    if (FindWindow(window) != nullptr) {
        SDL_SetWindowPosition(static_cast<SDL_Window*>(window), x, y);
    }
}

void SDLWindowLayer::ShowWindow(HWND window)
{
    if (FindWindow(window) != nullptr) {
        SDL_ShowWindow(static_cast<SDL_Window*>(window));
    }
}

bool SDLWindowLayer::SetFullscreen(HWND window, bool fullscreen, int width, int height)
{
    if (FindWindow(window) == nullptr) {
        return false;
    }
    SDL_Window* w = static_cast<SDL_Window*>(window);
    if (fullscreen) {
        return SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    }
    if (SDL_SetWindowFullscreen(w, 0) != 0) {
        return false;
    }
    SDL_SetWindowResizable(w, SDL_TRUE);
    if (width > 0 && height > 0) {
        SDL_SetWindowSize(w, width, height);
    }
    SDL_SetWindowPosition(w, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    return true;
}

bool SDLWindowLayer::SetVSync(bool on)
{
    return SDL_GL_SetSwapInterval(on ? 1 : 0) == 0;
}

void SDLWindowLayer::DestroyWindow(HWND window)
{
    SWindow* w = FindWindow(window);
    if (w == nullptr) {
        return;
    }
    WNDPROC proc = w->proc;
    proc(window, WM_DESTROY, 0, 0);
    if (mTimerWindow == window) {
        mTimer.Stop();
        mTimerWindow = nullptr;
    }
    std::lock_guard<std::mutex> lock(mWindowsLock);
    SDL_HideWindow(static_cast<SDL_Window*>(window));
    w->alive = false;
    w->id = 0;
}

bool SDLWindowLayer::IsWindow(HWND window)
{
    return FindWindow(window) != nullptr;
}

LRESULT SDLWindowLayer::DefWindowProc(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) {
        DestroyWindow(window);
    }
    return 0;
}

bool SDLWindowLayer::PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> lock(mWindowsLock);
    uint32_t id = 0;
    if (window != nullptr) {
        bool found = false;
        for (const SWindow& w : mWindows) {
            if (w.sdlWindow != nullptr && w.alive && w.sdlWindow == window) {
                id = w.id;
                found = true;
            }
        }
        if (!found) {
            return false;
        }
    }
    if (mMessageEvent == 0) {
        return false;
    }
    SDL_Event event;
    SDL_zero(event);
    event.type = mMessageEvent;
    event.user.windowID = id;
    event.user.code = static_cast<Sint32>(message);
    event.user.data1 = reinterpret_cast<void*>(wParam);
    event.user.data2 = reinterpret_cast<void*>(lParam);
    return SDL_PushEvent(&event) == 1;
}

void SDLWindowLayer::PostQuitMessage(int exitCode)
{
    mQuit = true;
    mQuitCode = exitCode;
}

bool SDLWindowLayer::SetTimer(HWND window, UINT id, UINT periodMs)
{
    if (window != nullptr && FindWindow(window) == nullptr) {
        return false;
    }
    mTimerWindow = window;
    mTimerId = id;
    mTimer.Start(SDL_GetTicks64(), periodMs);
    return true;
}

void SDLWindowLayer::KillTimer(HWND window, UINT id)
{
    if (window == mTimerWindow && id == mTimerId) {
        mTimer.Stop();
        mTimerWindow = nullptr;
    }
}

SDLWindowLayer::SWindow* SDLWindowLayer::FindWindow(HWND window)
{
    if (window == nullptr) {
        return nullptr;
    }
    for (SWindow& w : mWindows) {
        if (w.sdlWindow == window && w.alive) {
            return &w;
        }
    }
    return nullptr;
}

SDLWindowLayer::SWindow* SDLWindowLayer::FindWindowById(uint32_t id)
{
    for (SWindow& w : mWindows) {
        if (w.sdlWindow != nullptr && w.alive && w.id == id) {
            return &w;
        }
    }
    return nullptr;
}

bool SDLWindowLayer::Translate(const SDL_Event& event, MSG* message, HWND filter)
{
    if (mMessageEvent != 0 && event.type == mMessageEvent) {
        HWND target = nullptr;
        if (event.user.windowID != 0) {
            SWindow* w = FindWindowById(event.user.windowID);
            if (w == nullptr) {
                return false; // its window is gone: dropped
            }
            target = w->sdlWindow;
        }
        if (filter != nullptr && target != filter) {
            return false;
        }
        message->hwnd = target;
        message->message = static_cast<UINT>(event.user.code);
        message->wParam = reinterpret_cast<WPARAM>(event.user.data1);
        message->lParam = reinterpret_cast<LPARAM>(event.user.data2);
        return true;
    }
    UINT windowMessage = 0;
    WPARAM windowParameter = 0;
    if (event.type == SDL_WINDOWEVENT && WindowEventMessage(event.window.event, &windowMessage, &windowParameter)) {
        for (ISDLEventListener* listener : mListeners) {
            if (listener != nullptr) {
                listener->HandleEvent(event);
            }
        }
        SWindow* w = FindWindowById(event.window.windowID);
        if (w == nullptr || (filter != nullptr && filter != w->sdlWindow)) {
            return false;
        }
        message->hwnd = w->sdlWindow;
        message->message = windowMessage;
        message->wParam = windowParameter;
        message->lParam = 0;
        return true;
    }
    HWND closing = nullptr;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) {
        SWindow* w = FindWindowById(event.window.windowID);
        closing = w != nullptr ? w->sdlWindow : nullptr;
    } else if (event.type == SDL_QUIT) {
        // The user asked the program to end (last window closed, a signal):
        // the first window is told to close.
        for (SWindow& w : mWindows) {
            if (w.sdlWindow != nullptr && w.alive) {
                closing = w.sdlWindow;
                break;
            }
        }
    }
    if (closing != nullptr && (filter == nullptr || filter == closing)) {
        message->hwnd = closing;
        message->message = WM_CLOSE;
        message->wParam = 0;
        message->lParam = 0;
        return true;
    }
    for (ISDLEventListener* listener : mListeners) {
        if (listener != nullptr) {
            listener->HandleEvent(event);
        }
    }
    return false;
}

bool SDLWindowLayer::WindowEventMessage(uint8_t event, UINT* message, WPARAM* wParam)
{
    switch (event) {
    case SDL_WINDOWEVENT_MINIMIZED: *message = WM_SIZE; *wParam = SIZE_MINIMIZED; return true;
    case SDL_WINDOWEVENT_MAXIMIZED: *message = WM_SIZE; *wParam = SIZE_MAXIMIZED; return true;
    case SDL_WINDOWEVENT_RESTORED: *message = WM_SIZE; *wParam = SIZE_RESTORED; return true;
    case SDL_WINDOWEVENT_SHOWN: *message = WM_SHOWWINDOW; *wParam = 1; return true;
    case SDL_WINDOWEVENT_HIDDEN: *message = WM_SHOWWINDOW; *wParam = 0; return true;
    case SDL_WINDOWEVENT_EXPOSED: *message = WM_PAINT; *wParam = 0; return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED: *message = WM_ACTIVATE; *wParam = WA_ACTIVE; return true;
    case SDL_WINDOWEVENT_FOCUS_LOST: *message = WM_ACTIVATE; *wParam = WA_INACTIVE; return true;
    default: return false;
    }
}

int SDLWindowLayer::GetMessage(MSG* message, HWND window)
{
    for (;;) {
        if (mQuit) {
            mQuit = false;
            message->hwnd = nullptr;
            message->message = WM_QUIT;
            message->wParam = static_cast<WPARAM>(mQuitCode);
            message->lParam = 0;
            return 0;
        }
        if (window != nullptr && FindWindow(window) == nullptr) {
            return -1;
        }
        if (mMessageEvent == 0) {
            return -1;
        }
        SDL_Event event;
        bool gotEvent = SDL_PollEvent(&event) == 1;
        if (!gotEvent) {
            uint64_t now = SDL_GetTicks64();
            if (mTimer.Due(now) && (window == nullptr || window == mTimerWindow)) {
                mTimer.Take(now);
                message->hwnd = mTimerWindow;
                message->message = WM_TIMER;
                message->wParam = mTimerId;
                message->lParam = 0;
                return 1;
            }
            uint32_t wait = mTimer.MsUntilDue(now);
            if (wait == UINT32_MAX) {
                gotEvent = SDL_WaitEvent(&event) == 1;
            } else {
                gotEvent = SDL_WaitEventTimeout(&event, static_cast<int>(wait > 1000 ? 1000 : wait)) == 1;
            }
        }
        if (gotEvent && Translate(event, message, window)) {
            return 1;
        }
    }
}

LRESULT SDLWindowLayer::DispatchMessage(const MSG* message)
{
    SWindow* w = FindWindow(message->hwnd);
    if (w == nullptr) {
        return 0;
    }
    return w->proc(message->hwnd, message->message, message->wParam, message->lParam);
}

void SDLWindowLayer::AddListener(ISDLEventListener* listener)
{
    for (ISDLEventListener*& slot : mListeners) {
        if (slot == nullptr) {
            slot = listener;
            return;
        }
    }
}

void SDLWindowLayer::RemoveListener(ISDLEventListener* listener)
{
    for (ISDLEventListener*& slot : mListeners) {
        if (slot == listener) {
            slot = nullptr;
        }
    }
}
