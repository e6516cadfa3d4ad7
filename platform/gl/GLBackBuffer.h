#pragma once
// Where the OpenGL device draws its frames, and how Present shows them.
// Internal to the OpenGL back end; on the device's thread with its context
// current.
//
// Two targets:
// - the window itself: when the window's drawable has exactly the back
//   buffer's size (and a depth buffer as precise as the offscreen one), the
//   frame is drawn straight into the window's back buffer and Present only
//   swaps: no copy of the frame at all;
// - an offscreen colour and depth buffer of the back buffer's size:
//   headless, and when the drawable has another size (Present then scales
//   the frame into the window, keeping its aspect ratio with black bars,
//   drawing it as one textured rectangle with bilinear filtering, which
//   llvmpipe does faster than a scaling blit).
// The target of a frame is chosen at creation and at each Present, for the
// frame that follows, so a window the window manager resizes changes target
// at the next frame.
//
// The pixels of the back buffer can be read while it holds a frame: from a
// Clear of the colour until the next Present in the window, and always
// offscreen (after Present too, which keeps them there). After Present in
// the window the back buffer's contents are undefined and reading is
// refused until the next Clear.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/D3D9.h"
#include "platform/gl/GLContext.h"

namespace OrvelGL {

class GLBackBuffer {
public:
    GLBackBuffer() = default;
    GLBackBuffer(const GLBackBuffer&) = delete;
    GLBackBuffer& operator=(const GLBackBuffer&) = delete;

    // False when the driver cannot draw a buffer of this size.
    bool Initialise(GLContext& context, unsigned width, unsigned height);
    void Destroy();

    // The colour of the frame was cleared: it holds a frame again.
    void Cleared() { mHoldsFrame = true; }
    // Shows the frame (nothing without a window) and picks the next target.
    // Uses its own program, vertex array, texture and fixed state: what
    // OpenGL had before is not restored.
    void Present();
    // width * height pixels, top row first, 0xAARRGGBB, alpha forced to 0xFF
    // with forceOpaque; false while the back buffer holds no frame.
    bool Read(std::vector<uint32_t>& pixels, bool forceOpaque);

    // Whether frames go straight into the window now.
    bool DrawsIntoWindow() const { return mIntoWindow; }

private:
    bool MakeOffscreen();
    bool MakeScaler();
    // Binds the target of the next frame with the back buffer's viewport.
    void ChooseTarget();
    void PresentScaled(int drawableWidth, int drawableHeight);

    GLContext* mContext = nullptr;
    unsigned mWidth = 0, mHeight = 0;
    bool mWindowDepthUsable = false; // the window's depth buffer is as precise as the offscreen one
    bool mIntoWindow = false;
    bool mHoldsFrame = true;
    unsigned mFramebuffer = 0, mColourTexture = 0, mDepthBuffer = 0;
    unsigned mScaler = 0, mScalerArray = 0; // the program and vertex array of the scaled present
};

} // namespace OrvelGL
