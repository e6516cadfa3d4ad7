#pragma once
// The OpenGL back end of the device interface of engine/D3D9.h.
//
// GLProvider stands in for the run-time loaded 3D library: LoadLibrary checks
// that an OpenGL 3.3 core context can be had in the chosen mode,
// Direct3DCreate9 gives the IDirect3D9 whose CreateDevice makes the device.
//
// Two modes:
// - Window: the focus window passed to CreateDevice is an SDL_Window* that was
//   created with SDL_WINDOW_OPENGL. Unless Windowed is set, the device turns it
//   desktop-fullscreen (no display-mode switch). The back buffer is exactly
//   BackBufferWidth x BackBufferHeight: when the window's drawable has that
//   size, frames are drawn straight into it and Present swaps; otherwise
//   they are drawn offscreen and Present scales them to the drawable (HiDPI
//   safe), keeping their aspect ratio with black bars, and swaps.
// - Headless: an EGL context on Mesa's surfaceless platform (no X, no GPU
//   needed); the focus window is ignored and Present shows nothing.
//
// What it refuses is the contract of engine/D3D9.h, and beyond it: a back
// buffer larger than the driver draws (D3DERR_NOTAVAILABLE), a texture side
// above the driver's limit where that is below kD3DMaxTextureSide, and the
// calls from another thread listed under Threads.
//
// Implemented features:
// - Clear (target and depth, whole back buffer), BeginScene, EndScene,
//   Present (whole back buffer; the device is never lost: Present keeps
//   drawing after the window loses the focus).
// - Vertex formats XYZ (12 bytes), XYZ|NORMAL (24 bytes), XYZ|TEX1 (20 bytes),
//   XYZ|DIFFUSE and XYZ|NORMAL|DIFFUSE; DrawPrimitive (all primitive types)
//   from stream 0 and DrawPrimitiveUP, only between BeginScene and EndScene.
// - The fixed-function pipeline with one directional light: per-vertex
//   lighting in view space, D3DRS_AMBIENT, material diffuse, ambient and
//   emissive (alpha from the diffuse source), a vertex diffuse colour
//   replacing the material diffuse, no normal meaning N.L = 0, lighting off
//   without vertex colour giving opaque white; texture stage 0 as modulate
//   (colour) and select-texture (alpha), the diffuse passed through with no
//   texture bound; point sampling with wrap; alpha test with any compare
//   function and reference; blending with ZERO/ONE/SRCALPHA/INVSRCALPHA
//   factors; depth test, compare function and writes; cull modes NONE, CW,
//   CCW (the default: faces counter-clockwise on screen removed); clip-space
//   depth 0..w and pixel centres at integer coordinates.
// - Textures: A8R8G8B8 and X8R8G8B8, one level; system-memory and managed
//   textures are lockable and give a pitch; default-pool and managed ones
//   are drawn; UpdateTexture copies a system-memory texture into a
//   default-pool texture of the same size.
// - Speed on a software renderer: draws that share state are collected and
//   issued together; triangle fans from a vertex buffer are kept as triangle
//   indices per buffer (laid out the first time each fan is drawn), so a run
//   of faces drawn in the same order every frame is one index range of one
//   draw. Repeated models (the same faces under another world transform,
//   opaque, depth-tested and depth-writing) are merged into instanced draws
//   (SetMerging). Only state that changed is sent to OpenGL; each
//   combination of lighting, texture and alpha test has its own program,
//   a texture not modulated by a colour is read bare, and an alpha test
//   that cannot change a pixel (blended texels of alpha 0 without depth
//   writes) is left out.
// - Window mode swaps without waiting for the vertical retrace.
// - Buffers and textures hold a reference to their device (which therefore
//   outlives them); releasing a bound one unbinds it.
// Left out: more than one light (indices 1 to 7 are accepted and ignored),
// point and spot lights, specular, fog, mip levels, texture stages above 0,
// stencil, multisampling, Lock flags, dirty regions and Present rectangles.
//
// Threads: every device and resource operation takes the device's lock, so
// any thread may create, lock, fill and release vertex buffers and textures
// while the thread that created the device draws. OpenGL objects are created,
// filled and deleted only on the creating thread, at the next draw that uses
// them. Clear, BeginScene, EndScene, Present, the draws and ReadBackBuffer
// must be called on the creating thread (D3DERR_INVALIDCALL otherwise); the
// last reference to the device must also be dropped there (it deletes the
// context).

#include <cstdint>
#include <vector>

#include "engine/D3D9.h"

namespace OrvelGL {

enum class GLContextMode {
    Window,   // the focus window is an SDL_Window* with SDL_WINDOW_OPENGL
    Headless, // EGL surfaceless, drawing only offscreen
};

class GLProvider : public ID3D9Provider {
public:
    explicit GLProvider(GLContextMode mode);
    ~GLProvider() override;

    // Window mode: the SDL video subsystem is (or can be) initialised.
    // Headless mode: an EGL display on the surfaceless platform can be made.
    // The first call also sets how the process's heap keeps freed memory, for
    // the software renderer's sake (see GLProvider.cpp).
    bool LoadLibrary() override;
    bool HasDirect3DCreate9() override;
    // Null before a successful LoadLibrary or for another SDK version than 31.
    IDirect3D9* Direct3DCreate9(UINT sdkVersion) override;
    void FreeLibrary() override;

    GLContextMode Mode() const { return mMode; }

private:
    GLContextMode mMode;
    bool mLoaded = false;
    bool mOwnsSdlVideo = false;
};

// Copies the back buffer of a device made by a GLProvider into pixels:
// width * height values, the top row first, each 0xAARRGGBB (as D3DCOLOR).
// Headless the frame stays readable after Present; in window mode read
// before Present (when the window has the back buffer's size the frame is
// drawn straight into it, and a swapped back buffer is undefined: reading
// is then refused until the next Clear). D3DERR_INVALIDCALL for a device of
// another back end or a call from another thread than the device's.
HRESULT ReadBackBuffer(IDirect3DDevice9* device, std::vector<uint32_t>& pixels, UINT& width, UINT& height);

// Turns the merging of repeated models into instanced draws on (the
// default) or off, for comparing pictures and timings. D3DERR_INVALIDCALL
// for a device of another back end.
HRESULT SetMerging(IDirect3DDevice9* device, bool merging);

// What the device has drawn since it was made: OpenGL draw calls, and the
// runs of draws that merging made instanced with their instances.
struct SDrawCounts {
    uint64_t drawCalls, instancedRuns, instances;
};
HRESULT ReadDrawCounts(IDirect3DDevice9* device, SDrawCounts& counts);

} // namespace OrvelGL
