#include "platform/gl/GLSdlContext.h"

#include <SDL.h>

namespace OrvelGL {

std::unique_ptr<GLSdlContext> GLSdlContext::Create(SDL_Window* window, bool fullscreen)
{
    if (window == nullptr || (SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) == 0)
        return nullptr;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (fullscreen)
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr)
        return nullptr;
    std::unique_ptr<GLSdlContext> made(new GLSdlContext(window, context));
    if (!made->MakeCurrent())
        return nullptr;
    SDL_GL_SetSwapInterval(0);
    return made;
}

bool GLSdlContext::Bind()
{
    return SDL_GL_MakeCurrent(mWindow, static_cast<SDL_GLContext>(mContext)) == 0;
}

GLSdlContext::~GLSdlContext()
{
    if (SDL_GL_GetCurrentContext() == mContext)
        SDL_GL_MakeCurrent(mWindow, nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(mContext));
}

void GLSdlContext::GetDrawableSize(int& width, int& height)
{
    SDL_GL_GetDrawableSize(mWindow, &width, &height);
}

void GLSdlContext::Swap()
{
    SDL_GL_SwapWindow(mWindow);
}

} // namespace OrvelGL
