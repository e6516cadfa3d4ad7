#pragma once
// The device of the recording back end: records every call with its
// arguments (RecordedCall.h), keeps the state a test may ask about, and
// refuses exactly what the contract of engine/D3D9.h lists (refused calls
// are recorded too, with their result).
// Render states start with the defaults of a device with a depth buffer
// (lighting on, depth test and writes on, LESSEQUAL, cull CCW, blending off,
// ONE / ZERO, alpha test off, ALWAYS); transforms start as the identity.

#include <cstdint>

#include "platform/recording/RecordingObject.h"
// Including this header gives the whole back end.
#include "platform/recording/RecordingProvider.h"
#include "platform/recording/RecordingTexture.h"
#include "platform/recording/RecordingVertexBuffer.h"

class RecordingDevice : public RecordingObject<IDirect3DDevice9> {
public:
    // A device with one reference, for tests that wrap it in a DXDevice
    // directly instead of going through a provider.
    explicit RecordingDevice(std::shared_ptr<RecordingLog> log);

    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const void* dirtyRegion) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** vertexBuffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT UpdateTexture(IDirect3DTexture9* sourceTexture, IDirect3DTexture9* destinationTexture) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes,
                            UINT stride) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* vertexData,
                            UINT vertexStride) override;

    bool InScene() const { return mInScene; }
    DWORD RenderState(D3DRENDERSTATETYPE state) const { return mRenderStates[state & 0xFF]; }
    // D3DTS_WORLD, D3DTS_VIEW or D3DTS_PROJECTION.
    const D3DMATRIX& Transform(D3DTRANSFORMSTATETYPE state) const;
    const D3DMATERIAL9& Material() const { return mMaterial; }
    const D3DLIGHT9& Light(int index) const { return mLights[index]; }
    bool LightEnabled(int index) const { return mLightEnabled[index]; }
    DWORD FVF() const { return mFVF; }
    // Id of the texture on a stage, 0 for none.
    uint32_t TextureOn(int stage) const { return mTextures[stage]; }
    uint32_t StreamSource() const { return mStream; }
    UINT StreamStride() const { return mStride; }
    int FramesPresented() const { return mPresented; }

private:
    // What every draw needs besides its vertices: a supported vertex format,
    // a stride that holds it, and no locked texture on stage 0.
    bool DrawableState(UINT stride) const;

    bool mInScene;
    int mPresented;
    DWORD mRenderStates[kD3DRenderStates];
    D3DMATRIX mTransforms[3]; // world, view, projection
    D3DMATERIAL9 mMaterial;
    D3DLIGHT9 mLights[kD3DLights];
    bool mLightEnabled[kD3DLights];
    DWORD mFVF;
    uint32_t mTextures[kD3DTextureStages];
    uint32_t mStream;
    UINT mStreamOffset;
    UINT mStride;
};
