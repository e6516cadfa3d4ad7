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
//   desktop-fullscreen (no display-mode switch). It draws into an offscreen back buffer of exactly
//   BackBufferWidth x BackBufferHeight; Present scales that image to the
//   window's drawable size (HiDPI safe), keeping its aspect ratio with black
//   bars, and swaps.
// - Headless: an EGL context on Mesa's surfaceless platform (no X, no GPU
//   needed); the focus window is ignored and Present shows nothing.
//
// Implemented features:
// - Clear (target and depth; rectangles are not supported), BeginScene,
//   EndScene, Present (whole back buffer; the device is never lost: Present
//   keeps drawing after the window loses the focus).
// - Vertex formats XYZ (12 bytes), XYZ|NORMAL (24 bytes), XYZ|TEX1 (20 bytes),
//   XYZ|DIFFUSE and XYZ|NORMAL|DIFFUSE; DrawPrimitive (all primitive types)
//   from stream 0 and DrawPrimitiveUP, only between BeginScene and EndScene.
//   A draw that would read past the end of its buffer, from a locked buffer
//   or with a system-memory texture is refused (D3DERR_INVALIDCALL) and
//   draws nothing.
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
// - Textures: A8R8G8B8 and X8R8G8B8, one level; system-memory (and managed)
//   textures are lockable and give a pitch; UpdateTexture copies a
//   system-memory texture into a default-pool texture of the same size.
// - Speed on a software renderer: draws that share state are collected and
//   issued together; triangle fans from a vertex buffer are kept as triangle
//   indices per buffer (laid out the first time each fan is drawn), so a run
//   of faces drawn in the same order every frame is one index range of one
//   draw. Only state that changed is sent to OpenGL; lit untextured draws
//   use a program without the lighting switch and texture branch.
// - Window mode swaps without waiting for the vertical retrace.
// - Buffers and textures hold a reference to their device (which therefore
//   outlives them); releasing a bound one unbinds it.
// Left out: more than one light (indices above 0 are accepted and ignored),
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
// Read before Present in window mode (the back buffer itself is kept, so a
// read after Present gives the same frame). D3DERR_INVALIDCALL for a device
// of another back end or a call from another thread than the device's.
HRESULT ReadBackBuffer(IDirect3DDevice9* device, std::vector<uint32_t>& pixels, UINT& width, UINT& height);

} // namespace OrvelGL
