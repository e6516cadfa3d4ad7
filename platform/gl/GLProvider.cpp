#include "platform/gl/GLProvider.h"

#include <SDL.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "platform/gl/GLDevice.h"
#include "platform/gl/GLDirect3D.h"
#include "platform/gl/GLEglContext.h"

namespace OrvelGL {

namespace {

// Mesa's software renderer takes and frees megabytes in every frame it draws
// (the bins of its scene). By default glibc hands the top of the heap back
// to the system as soon as 128 KB lie free there, and the next frame takes
// it back page by page: on a busy frame that doubled the drawing thread's
// time, depending on how the heap happened to lie. So the process keeps up to
// 64 MB of freed memory, and blocks up to 16 MB come from the heap.
void KeepRendererMemory()
{
#ifdef __GLIBC__
    static const bool kept = mallopt(M_MMAP_THRESHOLD, 16 << 20) == 1 && mallopt(M_TRIM_THRESHOLD, 64 << 20) == 1;
    (void)kept;
#endif
}

} // namespace

GLProvider::GLProvider(GLContextMode mode) : mMode(mode) {}

GLProvider::~GLProvider()
{
    FreeLibrary();
}

bool GLProvider::LoadLibrary()
{
    if (mLoaded)
        return true;
    KeepRendererMemory();
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

HRESULT SetMerging(IDirect3DDevice9* device, bool merging)
{
    auto* glDevice = dynamic_cast<GLDevice*>(device);
    if (glDevice == nullptr)
        return D3DERR_INVALIDCALL;
    glDevice->SetMerging(merging);
    return D3D_OK;
}

HRESULT ReadDrawCounts(IDirect3DDevice9* device, SDrawCounts& counts)
{
    auto* glDevice = dynamic_cast<GLDevice*>(device);
    if (glDevice == nullptr)
        return D3DERR_INVALIDCALL;
    counts = glDevice->Counts();
    return D3D_OK;
}

} // namespace OrvelGL
