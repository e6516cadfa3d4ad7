#include "platform/gl/GLProvider.h"

#include <SDL.h>

#include "platform/gl/GLDevice.h"
#include "platform/gl/GLDirect3D.h"
#include "platform/gl/GLEglContext.h"

namespace OrvelGL {

GLProvider::GLProvider(GLContextMode mode) : mMode(mode) {}

GLProvider::~GLProvider()
{
    FreeLibrary();
}

bool GLProvider::LoadLibrary()
{
    if (mLoaded)
        return true;
    if (mMode == GLContextMode::Headless) {
        mLoaded = GLEglContext::DisplayAvailable();
    } else if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        mLoaded = true;
    } else if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        mOwnsSdlVideo = true;
        mLoaded = true;
    }
    return mLoaded;
}

bool GLProvider::HasDirect3DCreate9()
{
    return mLoaded;
}

IDirect3D9* GLProvider::Direct3DCreate9(UINT sdkVersion)
{
    if (!mLoaded || sdkVersion != D3D_SDK_VERSION)
        return nullptr;
    return new GLDirect3D(mMode);
}

void GLProvider::FreeLibrary()
{
    if (mOwnsSdlVideo)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    mOwnsSdlVideo = false;
    mLoaded = false;
}

HRESULT ReadBackBuffer(IDirect3DDevice9* device, std::vector<uint32_t>& pixels, UINT& width, UINT& height)
{
    auto* glDevice = dynamic_cast<GLDevice*>(device);
    if (glDevice == nullptr)
        return D3DERR_INVALIDCALL;
    return glDevice->ReadBackBuffer(pixels, width, height);
}

} // namespace OrvelGL
