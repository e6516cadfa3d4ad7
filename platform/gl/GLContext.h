#pragma once
// An OpenGL 3.3 core context and the surface Present shows on. Internal to
// the OpenGL back end. A context is made current on the thread that creates
// it and is used only there; it is destroyed on that thread too.

namespace OrvelGL {

class GLContext {
public:
    virtual ~GLContext() {}
    // The size of the window's drawable in pixels (0 x 0 without a window).
    virtual void GetDrawableSize(int& width, int& height) = 0;
    // Shows the window's back buffer; nothing without a window.
    virtual void Swap() = 0;
    virtual bool HasWindow() const = 0;
};

} // namespace OrvelGL
