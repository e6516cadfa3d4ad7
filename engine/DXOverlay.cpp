#include "engine/DXOverlay.h"

#include "engine/DXDevice.h"
#include "engine/DXTexture.h"
#include "engine/STexturedVertex.h"

namespace Orvel {

DXOverlay::DXOverlay(DXDevice* device, int width, int height, int textureWidth, int textureHeight,
                     const uint32_t* pixels)
    : mTexture(new DXTexture(device, textureWidth, textureHeight, pixels)), mWidth(width), mHeight(height),
      mTextureWidth(textureWidth), mTextureHeight(textureHeight)
{
}

DXOverlay::~DXOverlay()
{
    delete mTexture;
}

void DXOverlay::Draw(DXDevice* device, int x, int y, int alignX, int alignY)
{
    // Top-left corner in overlay units, truncated toward zero.
    const int px = static_cast<int>(x - static_cast<double>(mWidth) * alignX * 0.001);
    const int py = static_cast<int>(y - static_cast<double>(mHeight) * alignY * 0.001);

    // The right and bottom edges divide by 1023 and 767: a picture as wide
    // as the screen then reaches exactly +1 on both axes.
    const float left = static_cast<float>(px / 1024.0 * 2.0 - 1.0);
    const float top = static_cast<float>(py / 768.0 * 2.0 - 1.0);
    const float right = static_cast<float>((px + static_cast<double>(mWidth) - 1.0) / 1023.0 * 2.0 - 1.0);
    const float bottom = static_cast<float>((py + static_cast<double>(mHeight) - 1.0) / 767.0 * 2.0 - 1.0);
    const float uRight = static_cast<float>(static_cast<double>(mWidth) / mTextureWidth);
    const float vBottom = static_cast<float>(static_cast<double>(mHeight) / mTextureHeight);

    const STexturedVertex topLeft = {left, top, 0.0f, 0.0f, 0.0f};
    const STexturedVertex topRight = {right, top, 0.0f, uRight, 0.0f};
    const STexturedVertex bottomLeft = {left, bottom, 0.0f, 0.0f, vBottom};
    const STexturedVertex bottomRight = {right, bottom, 0.0f, uRight, vBottom};
    device->Tri3T(topLeft, topRight, bottomLeft, mTexture);
    device->Tri3T(topRight, bottomRight, bottomLeft, mTexture);
}

void DXOverlay::DrawCentred(DXDevice* device, int x, int y)
{
    Draw(device, x, y, 500, 500);
}

} // namespace Orvel
