#pragma once
// A headless context: EGL on Mesa's surfaceless platform, no window system.
// Drawing goes only into framebuffer objects.

#include <memory>

#include "platform/gl/GLContext.h"

namespace OrvelGL {

class GLEglContext : public GLContext {
public:
    // Whether a surfaceless EGL display can be initialised in this process.
    static bool DisplayAvailable();
    // A 3.3 core context made current on the calling thread; null on failure.
    static std::unique_ptr<GLEglContext> Create();
    ~GLEglContext() override;

    void GetDrawableSize(int& width, int& height) override;
    void Swap() override {}
    bool HasWindow() const override { return false; }

protected:
    bool Bind() override;

private:
    GLEglContext(void* display, void* context) : mDisplay(display), mContext(context) {}
    void* mDisplay;
    void* mContext;
};

} // namespace OrvelGL
