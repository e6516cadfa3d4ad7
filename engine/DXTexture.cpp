#include "engine/DXTexture.h"

#include <cstddef>
#include <cstring>

#include "engine/DXDevice.h"
#include "tlib/DXException.h"

namespace Orvel {

namespace {

// Releases a texture reference when the scope ends, unless taken over.
class TextureRef {
public:
    TextureRef() : texture(nullptr) {}
    ~TextureRef()
    {
        if (texture)
            texture->Release();
    }
    TextureRef(const TextureRef&) = delete;
    TextureRef& operator=(const TextureRef&) = delete;

    IDirect3DTexture9* Take()
    {
        IDirect3DTexture9* taken = texture;
        texture = nullptr;
        return taken;
    }

    IDirect3DTexture9* texture;
};

} // namespace

DXTexture::DXTexture(DXDevice* device, int width, int height, const uint32_t* pixels) : mTexture(nullptr)
{
    TextureRef staging;
    device->CreateTexture(&staging.texture, width, height, true);

    D3DLOCKED_RECT locked{};
    HRESULT result = staging.texture->LockRect(0, &locked, nullptr, 0);
    if (FAILED(result))
        DXThrowCode(result, "DXTexture::DXTexture() - LockRect() failed");
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (locked.Pitch < 0 || static_cast<size_t>(locked.Pitch) < rowBytes || !locked.pBits) {
        // A back end that hands out rows narrower than the picture: nothing is written.
        staging.texture->UnlockRect(0);
        DXThrowCode(E_FAIL, "DXTexture::DXTexture() - LockRect() failed");
    }
    auto* bits = static_cast<uint8_t*>(locked.pBits);
    for (int y = 0; y < height; ++y)
        std::memcpy(bits + static_cast<size_t>(y) * static_cast<size_t>(locked.Pitch), pixels + static_cast<size_t>(y) * static_cast<size_t>(width),
                    rowBytes);
    result = staging.texture->UnlockRect(0);
    if (FAILED(result))
        DXThrowCode(result, "DXTexture::DXTexture() - UnlockRect() failed");

    TextureRef target;
    device->CreateTexture(&target.texture, width, height, false);
    result = device->Device()->UpdateTexture(staging.texture, target.texture);
    if (FAILED(result))
        DXThrowCode(result, "DXTexture::DXTexture() - UpdateTexture() failed");
    mTexture = target.Take();
}

DXTexture::~DXTexture()
{
    mTexture->Release();
}

} // namespace Orvel
