#pragma once
// A headless OpenGL device for pixel tests, with small drawing helpers.
// Tests skip (GTEST_SKIP in the fixture) when no surfaceless EGL display
// can be made on this machine.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/D3D9.h"
#include "platform/gl/GLProvider.h"

struct TexturedVertex {
    float x, y, z, u, v;
};

struct NormalVertex {
    float x, y, z, nx, ny, nz;
};

D3DMATRIX IdentityMatrix();
// The overlay projection: identity with [1][1] = -1 (y grows downwards).
D3DMATRIX OverlayProjection();

class GLDeviceTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 64;
    static constexpr UINT kHeight = 48;

    void SetUp() override;
    void TearDown() override;

    // Back buffer after the draws so far, top row first, 0xAARRGGBB.
    void Read();
    uint32_t Pixel(int x, int y) const { return mPixels[size_t(y) * mReadWidth + x]; }
    int CountPixels(uint32_t colour) const;

    void BeginFrame(D3DCOLOR clear);
    void EndFrame();
    // Overlay-like state: lighting off, no depth, identity view/world, the
    // overlay projection; blending and alpha test as given.
    void OverlayState(bool blend, bool alphaTest);
    // A sprite over screen pixels [x, x + w) x [y, y + h) (the 0.5 offset of
    // exact texel mapping applied), two clockwise triangles as the overlay draws them.
    void DrawSprite(IDirect3DTexture9* texture, float x, float y, float w, float h);
    // A default-pool texture filled through a system-memory one.
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, const std::vector<uint32_t>& texels);
    // A vertex buffer holding bytes.
    IDirect3DVertexBuffer9* MakeBuffer(const void* bytes, UINT length, DWORD fvf);

    std::unique_ptr<OrvelGL::GLProvider> mProvider;
    IDirect3D9* mD3D = nullptr;
    IDirect3DDevice9* mDevice = nullptr;
    std::vector<uint32_t> mPixels;
    UINT mReadWidth = 0, mReadHeight = 0;
};

// Channel of 0xAARRGGBB: 16 red, 8 green, 0 blue, 24 alpha.
inline int Channel(uint32_t colour, int shift)
{
    return int((colour >> shift) & 0xFF);
}
