#pragma once
// A picture's pixels held by the device: one default-pool, one-level
// D3DFMT_A8R8G8B8 texture, filled once through a system-memory copy and
// never changed afterwards.

#include <cstddef>
#include <cstdint>

#include "engine/D3D9.h"

namespace Orvel {

class DXDevice;

class DXTexture {
public:
    // pixels: width * height values 0xAARRGGBB, rows top-down; the caller
    // keeps them. Raises DXException "DXTexture::DXTexture() - LockRect()
    // failed", "... - UnlockRect() failed" or "... - UpdateTexture() failed"
    // with the HRESULT, or the device's CreateTexture error; no texture is
    // left behind after a failure.
    DXTexture(DXDevice* device, int width, int height, const uint32_t* pixels);
    // Releases the texture.
    ~DXTexture();
    DXTexture(const DXTexture&) = delete;
    DXTexture& operator=(const DXTexture&) = delete;

    IDirect3DTexture9* Texture() const { return mTexture; }

private:
    IDirect3DTexture9* mTexture;
};

} // namespace Orvel
