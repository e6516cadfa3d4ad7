#pragma once
// A 2D picture with its texture, drawn on the virtual 1024 x 768 overlay
// screen (origin top-left, y down, whole units). The picture fills the
// top-left width x height texels of a power-of-two texture. Immutable after
// construction; drawn on the window's thread only.

#include <cstdint>

namespace Orvel {

class DXDevice;
class DXTexture;

class DXOverlay {
public:
    // Creates the textureWidth x textureHeight texture from pixels (rows
    // top-down, 0xAARRGGBB, textureWidth per row); the caller keeps pixels.
    DXOverlay(DXDevice* device, int width, int height, int textureWidth, int textureHeight, const uint32_t* pixels);
    ~DXOverlay();
    DXOverlay(const DXOverlay&) = delete;
    DXOverlay& operator=(const DXOverlay&) = delete;

    // The picture's size in pixels (= overlay units).
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int TextureWidth() const { return mTextureWidth; }
    int TextureHeight() const { return mTextureHeight; }
    DXTexture* Texture() const { return mTexture; }

    // Draws the picture so that the point alignX thousandths of its width
    // from its left edge and alignY thousandths of its height from its top
    // lies at overlay position (x, y): two Tri3T calls. Positions are not
    // limited; the device clips. Expects the overlay pass's transforms.
    void Draw(DXDevice* device, int x, int y, int alignX, int alignY);
    // Draw with the picture's centre at (x, y).
    void DrawCentred(DXDevice* device, int x, int y);

private:
    DXTexture* mTexture;
    int32_t mWidth;
    int32_t mHeight;
    int32_t mTextureWidth;
    int32_t mTextureHeight;
};

} // namespace Orvel
