#pragma once
// A headless OpenGL device for pixel tests, with small drawing helpers.
// Tests skip (GTEST_SKIP in the fixture) when no surfaceless EGL display
// can be made on this machine.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/D3D9.h"
#include "platform/gl/GLFixedFunction.h"
#include "platform/gl/GLProvider.h"
#include "tests/device/DeviceTestSupport.h"

using devicetest::BackBuffer;
using OrvelGL::IdentityMatrix;

constexpr D3DCOLOR kSky = 0x003668D8;
constexpr uint32_t kSkyPixel = 0xFF3668D8, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

// A material that shows its ambient colour under a white ambient light.
inline D3DMATERIAL9 Flat(float r, float g, float b)
{
    return {{0, 0, 0, 1}, {r, g, b, 1}, {}, {}, 0};
}

class GLDeviceTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 64;
    static constexpr UINT kHeight = 48;

    void SetUp() override;
    void TearDown() override;

    // Clears target and depth, draws between BeginScene and EndScene,
    // presents and reads the back buffer into mPixels (top row first, 0xAARRGGBB).
    void Frame(D3DCOLOR clear, const std::function<void()>& draws);
    uint32_t Pixel(int x, int y) const { return mPixels[size_t(y) * kWidth + x]; }
    int CountPixels(uint32_t colour) const { return int(std::count(mPixels.begin(), mPixels.end(), colour)); }
    bool Covered(uint32_t colour) const { return CountPixels(colour) == int(kWidth * kHeight); }

    // Overlay-like state: model state with lighting and depth off and a
    // projection flipping y (y grows downwards); blending and alpha test as given.
    void OverlayState(bool blend, bool alphaTest);
    // Model-like state: identity transforms, white ambient, positions only.
    void ModelState();
    // A sprite over screen pixels [x, x + w) x [y, y + h) (the 0.5 offset of
    // exact texel mapping applied), two clockwise triangles as the overlay draws them.
    void DrawSprite(IDirect3DTexture9* texture, float x, float y, float w, float h);
    // A full-screen fan (clockwise on screen) of positions at depth z.
    void DrawQuad(float z);
    // A default-pool texture of texels; a buffer of positions.
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, const std::vector<uint32_t>& texels)
    {
        return devicetest::MakeTexture(mDevice, width, height, D3DPOOL_DEFAULT, texels);
    }
    IDirect3DVertexBuffer9* MakeBuffer(const std::vector<float>& positions)
    {
        return devicetest::MakeBuffer(mDevice, positions.data(), UINT(positions.size() * sizeof(float)));
    }

    OrvelGL::GLProvider mProvider{OrvelGL::GLContextMode::Headless};
    IDirect3D9* mD3D = nullptr;
    IDirect3DDevice9* mDevice = nullptr;
    std::vector<uint32_t> mPixels;
};
