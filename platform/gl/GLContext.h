#pragma once
// An OpenGL 3.3 core context and the surface Present shows on. Internal to
// the OpenGL back end. A context is used only on the thread that creates it
// and is destroyed there; several devices on one thread each make their
// context current again when another one was.

namespace OrvelGL {

class GLContext {
public:
    virtual ~GLContext()
    {
        if (sCurrent == this)
            sCurrent = nullptr;
    }
    // Whether this is the context the calling thread draws with (as far as
    // this back end has made contexts current).
    bool IsCurrent() const { return sCurrent == this; }
    // Makes it the calling thread's context; false when the platform refuses.
    bool MakeCurrent()
    {
        if (!Bind())
            return false;
        sCurrent = this;
        return true;
    }
    // The size of the window's drawable in pixels (0 x 0 without a window).
    virtual void GetDrawableSize(int& width, int& height) = 0;
    // Shows the window's back buffer; nothing without a window.
    virtual void Swap() = 0;
    virtual bool HasWindow() const = 0;

protected:
    virtual bool Bind() = 0;

private:
    static inline thread_local GLContext* sCurrent = nullptr;
};

} // namespace OrvelGL
