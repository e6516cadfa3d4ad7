#pragma once
// The device: owns one IDirect3DDevice9 and offers the few operations the
// rest of the program uses. Every tested device call that fails raises
// DXException with a fixed message and the call's HRESULT.
//
// Threads: drawing (StartFrame, SetTransform, model draws, Tri3T,
// FinishFrame) happens on the window's thread only; vertex buffers and
// textures may be created from the loading thread. This class takes no
// lock: the back end serialises device access.

#include "engine/CMatrix.h"
#include "engine/D3D9.h"
#include "engine/STexturedVertex.h"

namespace Orvel {

class DXTexture;

class DXDevice {
public:
    // Takes over one reference to device; clearColour starts at 0.
    explicit DXDevice(IDirect3DDevice9* device);
    // Releases the device. Every model and texture made with it must be gone.
    ~DXDevice();
    DXDevice(const DXDevice&) = delete;
    DXDevice& operator=(const DXDevice&) = delete;

    // 0xAARRGGBB; the colour StartFrame clears the back buffer to.
    D3DCOLOR clearColour;

    // The device itself, for render states, light and material.
    IDirect3DDevice9* Device() const { return mDevice; }

    // Clears colour and depth (depth 1.0, stencil 0), then begins the scene.
    void StartFrame();
    // Ends the scene and presents the whole back buffer.
    void FinishFrame();

    // A default-pool vertex buffer of count * vertexSize bytes; the caller
    // owns the returned reference.
    IDirect3DVertexBuffer9* CreateVertexBuffer(int count, int vertexSize, DWORD format);
    // Passes the matrix to the device as sixteen floats, row by row.
    void SetTransform(D3DTRANSFORMSTATETYPE state, const CMatrix& matrix);
    // A one-level D3DFMT_A8R8G8B8 texture, in system memory or the default
    // pool; *texture receives a reference the caller owns.
    void CreateTexture(IDirect3DTexture9** texture, int width, int height, bool systemMemory);
    // Draws the triangle a, b, c with the texture on stage 0 and leaves
    // stage 0 empty afterwards (models are drawn untextured). Allocates
    // nothing: the vertices go through one process-wide array of three.
    void Tri3T(const STexturedVertex& a, const STexturedVertex& b, const STexturedVertex& c, DXTexture* texture);

private:
    IDirect3DDevice9* mDevice;
};

} // namespace Orvel
