#include "platform/gl/GLDirect3D.h"

#include <SDL.h>

#include "platform/gl/GLDevice.h"
#include "platform/gl/GLEglContext.h"
#include "platform/gl/GLSdlContext.h"

namespace OrvelGL {

ULONG GLDirect3D::AddRef()
{
    return ++mRefs;
}

ULONG GLDirect3D::Release()
{
    ULONG left = --mRefs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT GLDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE /*deviceType*/, HWND focusWindow, DWORD /*behaviorFlags*/,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** returned)
{
    if (returned == nullptr)
        return D3DERR_INVALIDCALL;
    *returned = nullptr;
    if (parameters == nullptr || adapter != 0 || parameters->BackBufferWidth == 0 ||
        parameters->BackBufferHeight == 0)
        return D3DERR_INVALIDCALL;
    D3DFORMAT format = parameters->BackBufferFormat;
    if (format == D3DFMT_UNKNOWN)
        format = D3DFMT_X8R8G8B8;
    if (format != D3DFMT_X8R8G8B8 && format != D3DFMT_A8R8G8B8)
        return D3DERR_INVALIDCALL;

    std::unique_ptr<GLContext> context;
    if (mMode == GLContextMode::Headless) {
        context = GLEglContext::Create();
    } else {
        SDL_Window* window = static_cast<SDL_Window*>(focusWindow);
        if (window == nullptr)
            window = static_cast<SDL_Window*>(parameters->hDeviceWindow);
        if (window == nullptr)
            return D3DERR_INVALIDCALL;
        context = GLSdlContext::Create(window, parameters->Windowed == FALSE);
    }
    if (!context)
        return D3DERR_NOTAVAILABLE;
    GLDevice* device =
        GLDevice::Create(std::move(context), parameters->BackBufferWidth, parameters->BackBufferHeight, format);
    if (device == nullptr)
        return D3DERR_NOTAVAILABLE;
    *returned = device;
    return D3D_OK;
}

} // namespace OrvelGL
