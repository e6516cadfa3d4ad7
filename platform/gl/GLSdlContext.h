#pragma once
// A context on an SDL window (created with SDL_WINDOW_OPENGL by the window
// layer, which keeps owning it and must outlive the context).

#include <memory>

#include "platform/gl/GLContext.h"

struct SDL_Window;

namespace OrvelGL {

class GLSdlContext : public GLContext {
public:
    // A 3.3 core context on window, made current on the calling thread, with
    // swaps not waiting for the vertical retrace (the game paces itself with
    // its 20 ms timer). When fullscreen is set the window becomes
    // desktop-fullscreen (no display-mode switch). Null on failure.
    static std::unique_ptr<GLSdlContext> Create(SDL_Window* window, bool fullscreen);
    ~GLSdlContext() override;

    void GetDrawableSize(int& width, int& height) override;
    void Swap() override;
    bool HasWindow() const override { return true; }

protected:
    bool Bind() override;

private:
    GLSdlContext(SDL_Window* window, void* context) : mWindow(window), mContext(context) {}
    SDL_Window* mWindow;
    void* mContext;
};

} // namespace OrvelGL
