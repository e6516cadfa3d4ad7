#pragma once
// A one-level 32-bit texture of the OpenGL device. Internal to the OpenGL
// back end.
//
// Pixels live in memory owned by the texture, rows top first, each a
// D3DCOLOR (0xAARRGGBB). System-memory and managed textures can be locked;
// default-pool textures are filled by UpdateTexture and get an OpenGL
// texture, created and filled on the device's thread at the next draw that
// uses them. Every operation takes the device's lock. The texture holds a
// reference to its device.

#include <cstdint>
#include <vector>

#include "engine/D3D9.h"

namespace OrvelGL {

class GLDevice;

class GLTexture : public IDirect3DTexture9 {
public:
    GLTexture(GLDevice* device, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool);

    ULONG AddRef() override;
    ULONG Release() override;
    // Level 0 only; rect null for the whole level or a rectangle inside it.
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    // The following run with the device's lock held.
    UINT Width() const { return mWidth; }
    UINT Height() const { return mHeight; }
    D3DFORMAT Format() const { return mFormat; }
    D3DPOOL Pool() const { return mPool; }
    bool IsLocked() const { return mLocked; }
    const std::vector<uint32_t>& Pixels() const { return mPixels; }
    // Replaces the pixels (same size) and marks them for upload.
    void CopyPixelsFrom(const GLTexture& source);
    // On the device's thread: whether it must be uploaded before a draw, the
    // upload itself (binds GL_TEXTURE_2D on unit 0).
    bool NeedsUpload() const { return mDirty; }
    void Upload();
    // The smallest alpha above 0 among the texels (0..255) as last
    // uploaded; 256 when every texel has alpha 0.
    UINT LeastVisibleAlpha() const { return mLeastVisibleAlpha; }
    unsigned Name() const { return mTexture; }
    void RetireNames();

private:
    ~GLTexture() override;

    GLDevice* mDevice;
    uint32_t mRefs = 1; // guarded by the device's lock
    UINT mWidth, mHeight;
    D3DFORMAT mFormat;
    D3DPOOL mPool;
    std::vector<uint32_t> mPixels;
    bool mLocked = false;
    bool mDirty = true;
    unsigned mTexture = 0;
    UINT mLeastVisibleAlpha = 256;
};

} // namespace OrvelGL
