#include "engine/DXDevice.h"

#include <cstring>

#include "engine/DXTexture.h"
#include "tlib/DXException.h"

namespace Orvel {

namespace {

// The three vertices of the triangle Tri3T draws: shared by every call,
// used on the window's thread only.
STexturedVertex gTriangle[3];

} // namespace

DXDevice::DXDevice(IDirect3DDevice9* device) : clearColour(0), mDevice(device) {}

DXDevice::~DXDevice()
{
    mDevice->Release();
}

void DXDevice::StartFrame()
{
    HRESULT result = mDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clearColour, 1.0f, 0);
    if (FAILED(result))
        DXThrowCode(result, "DXDevice::StartFrame() - Clear() failed");
    result = mDevice->BeginScene();
    if (FAILED(result))
        DXThrowCode(result, "DXDevice::StartFrame() - BeginScene() failed");
}

void DXDevice::FinishFrame()
{
    HRESULT result = mDevice->EndScene();
    if (FAILED(result))
        DXThrowCode(result, "DXDevice::FinishFrame() - EndScene() failed");
    result = mDevice->Present(nullptr, nullptr, nullptr, nullptr);
    if (FAILED(result))
        DXThrowCode(result, "DXDevice::FinishFrame() - Present() failed");
}

IDirect3DVertexBuffer9* DXDevice::CreateVertexBuffer(int count, int vertexSize, DWORD format)
{
    IDirect3DVertexBuffer9* buffer = nullptr;
    const UINT length = static_cast<UINT>(count) * static_cast<UINT>(vertexSize);
    const HRESULT result = mDevice->CreateVertexBuffer(length, 0, format, D3DPOOL_DEFAULT, &buffer, nullptr);
    if (FAILED(result))
        DXThrowCode(result, "DXDevice::CreateVertexBuffer() - CreateVertexBuffer() failed");
    return buffer;
}

void DXDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const CMatrix& matrix)
{
    D3DMATRIX converted;
    float values[16];
    matrix.ToD3DMatrix(values);
    std::memcpy(converted.m, values, sizeof(values));
    const HRESULT result = mDevice->SetTransform(state, &converted);
    if (FAILED(result))
        DXThrowCode(result, "DXDevice::SetTransform() - SetTransform() failed");
}

void DXDevice::CreateTexture(IDirect3DTexture9** texture, int width, int height, bool systemMemory)
{
    const HRESULT result =
        mDevice->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), 1, 0, D3DFMT_A8R8G8B8,
                               systemMemory ? D3DPOOL_SYSTEMMEM : D3DPOOL_DEFAULT, texture, nullptr);
    if (FAILED(result))
        DXThrowCode(result, "DXDevice::CreateTexture() - CreateTexture() failed");
}

void DXDevice::Tri3T(const STexturedVertex& a, const STexturedVertex& b, const STexturedVertex& c,
                     DXTexture* texture)
{
    gTriangle[0] = a;
    gTriangle[1] = b;
    gTriangle[2] = c;
    HRESULT result = mDevice->SetFVF(kTexturedVertexFormat);
    if (FAILED(result))
        DXThrowCode(result, "DXDevice::Tri3T() - SetFVF() failed");
    result = mDevice->SetTexture(0, texture ? texture->Texture() : nullptr);
    if (FAILED(result))
        DXThrowCode(result, "DXDevice::Tri3T() - SetTexture() failed");
    result = mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, gTriangle, sizeof(STexturedVertex));
    if (FAILED(result)) {
        // Stage 0 is left empty even when the draw fails (models are drawn untextured).
        mDevice->SetTexture(0, nullptr);
        DXThrowCode(result, "DXDevice::Tri3T() - DrawPrimitiveUP() failed");
    }
    result = mDevice->SetTexture(0, nullptr);
    if (FAILED(result))
        DXThrowCode(result, "DXDevice::Tri3T() - SetTexture() failed");
}

} // namespace Orvel
