#pragma once
// Shared by the device contract tests and the OpenGL pixel tests: a device
// made on a provider, and textures and vertex buffers filled the way the
// engine fills them.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/D3D9.h"

namespace devicetest {

// Parameters of a width x height back buffer with a depth buffer.
inline D3DPRESENT_PARAMETERS BackBuffer(UINT width, UINT height)
{
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.EnableAutoDepthStencil = TRUE;
    return parameters;
}

// Loads the provider's library and makes a width x height device on it; the
// reason to skip the test where this machine cannot, else "" (and device is
// null after a failure).
inline std::string OpenDevice(ID3D9Provider& provider, UINT width, UINT height, IDirect3D9*& d3d,
                              IDirect3DDevice9*& device)
{
    if (!provider.LoadLibrary())
        return "no EGL surfaceless display on this machine: OpenGL device skipped";
    d3d = provider.Direct3DCreate9(D3D_SDK_VERSION);
    if (d3d == nullptr) {
        ADD_FAILURE() << "no Direct3D object";
        return "";
    }
    D3DPRESENT_PARAMETERS parameters = BackBuffer(width, height);
    const HRESULT hr = d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                         &parameters, &device);
    if (hr == D3DERR_NOTAVAILABLE)
        return "no OpenGL 3.3 core context on this machine: OpenGL device skipped";
    EXPECT_EQ(hr, D3D_OK);
    return "";
}

// A texture of the pool holding texels (top row first, 0xAARRGGBB); a
// default-pool one is filled through a system-memory one.
inline IDirect3DTexture9* MakeTexture(IDirect3DDevice9* d, UINT width, UINT height, D3DPOOL pool,
                                      const std::vector<uint32_t>& texels)
{
    IDirect3DTexture9 *texture = nullptr, *source = nullptr;
    D3DLOCKED_RECT locked{};
    if (d->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, pool, &texture, nullptr) != D3D_OK ||
        (pool == D3DPOOL_DEFAULT &&
         d->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &source, nullptr) != D3D_OK) ||
        (source != nullptr ? source : texture)->LockRect(0, &locked, nullptr, 0) != D3D_OK) {
        ADD_FAILURE() << "texture not made";
        return nullptr;
    }
    for (UINT y = 0; y < height; ++y)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch, &texels[size_t(y) * width],
                    width * 4);
    if (source == nullptr)
        EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    else {
        EXPECT_EQ(source->UnlockRect(0) | d->UpdateTexture(source, texture), D3D_OK);
        source->Release();
    }
    return texture;
}

inline IDirect3DVertexBuffer9* MakeBuffer(IDirect3DDevice9* d, const void* vertices, UINT length)
{
    IDirect3DVertexBuffer9* buffer = nullptr;
    void* data = nullptr;
    if (d->CreateVertexBuffer(length, 0, D3DFVF_XYZ, D3DPOOL_DEFAULT, &buffer, nullptr) != D3D_OK ||
        buffer->Lock(0, 0, &data, 0) != D3D_OK) {
        ADD_FAILURE() << "buffer not made";
        return nullptr;
    }
    std::memcpy(data, vertices, length);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    return buffer;
}

} // namespace devicetest
