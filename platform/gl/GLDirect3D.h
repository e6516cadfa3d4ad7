#pragma once
// The IDirect3D9 of the OpenGL back end: makes the one kind of device it
// has, on the calling thread. Internal to the OpenGL back end.

#include <atomic>

#include "engine/D3D9.h"
#include "platform/gl/GLProvider.h"

namespace OrvelGL {

class GLDirect3D : public IDirect3D9 {
public:
    explicit GLDirect3D(GLContextMode mode) : mMode(mode) {}

    ULONG AddRef() override;
    ULONG Release() override;
    // Adapter 0 only. The back buffer is BackBufferWidth x BackBufferHeight
    // (both at least 1), X8R8G8B8 or A8R8G8B8 (UNKNOWN means X8R8G8B8).
    // Window mode: focusWindow is the SDL_Window*; Windowed FALSE makes it
    // desktop-fullscreen. D3DERR_NOTAVAILABLE when no context can be made.
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentationParameters,
                         IDirect3DDevice9** returnedDeviceInterface) override;

private:
    ~GLDirect3D() override {}
    std::atomic<ULONG> mRefs{1};
    GLContextMode mMode;
};

} // namespace OrvelGL
