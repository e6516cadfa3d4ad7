#include "platform/gl/GLEglContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <mutex>

namespace OrvelGL {

namespace {

#ifndef EGL_PLATFORM_SURFACELESS_MESA
#define EGL_PLATFORM_SURFACELESS_MESA 0x31DD
#endif

// The surfaceless display is one per process; it is initialised once and
// kept until the process ends (terminating it would destroy the contexts of
// every other device).
std::mutex gDisplayLock;
EGLDisplay gDisplay = EGL_NO_DISPLAY;
bool gDisplayTried = false;

EGLDisplay SurfacelessDisplay()
{
    std::lock_guard<std::mutex> hold(gDisplayLock);
    if (gDisplayTried)
        return gDisplay;
    gDisplayTried = true;
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr)
        return EGL_NO_DISPLAY;
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY)
        return EGL_NO_DISPLAY;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor))
        return EGL_NO_DISPLAY;
    gDisplay = display;
    return gDisplay;
}

} // namespace

bool GLEglContext::DisplayAvailable()
{
    return SurfacelessDisplay() != EGL_NO_DISPLAY;
}

std::unique_ptr<GLEglContext> GLEglContext::Create()
{
    EGLDisplay display = SurfacelessDisplay();
    if (display == EGL_NO_DISPLAY)
        return nullptr;
    if (!eglBindAPI(EGL_OPENGL_API))
        return nullptr;
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1)
        return nullptr;
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT)
        return nullptr;
    std::unique_ptr<GLEglContext> made(new GLEglContext(display, context));
    if (!made->MakeCurrent())
        return nullptr;
    return made;
}

bool GLEglContext::Bind()
{
    return eglMakeCurrent(static_cast<EGLDisplay>(mDisplay), EGL_NO_SURFACE, EGL_NO_SURFACE,
                          static_cast<EGLContext>(mContext)) == EGL_TRUE;
}

GLEglContext::~GLEglContext()
{
    if (eglGetCurrentContext() == static_cast<EGLContext>(mContext))
        eglMakeCurrent(static_cast<EGLDisplay>(mDisplay), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(static_cast<EGLDisplay>(mDisplay), static_cast<EGLContext>(mContext));
}

void GLEglContext::GetDrawableSize(int& width, int& height)
{
    width = 0;
    height = 0;
}

} // namespace OrvelGL
