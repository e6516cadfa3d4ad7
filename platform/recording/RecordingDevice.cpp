#include "platform/recording/RecordingDevice.h"

#include <cstring>
#include <stdexcept>

#include "platform/recording/RecordingTexture.h"
#include "platform/recording/RecordingVertexBuffer.h"

namespace {

D3DMATRIX IdentityMatrix()
{
    D3DMATRIX m{};
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

int TransformSlot(D3DTRANSFORMSTATETYPE state)
{
    switch (state) {
    case D3DTS_WORLD: return 0;
    case D3DTS_VIEW: return 1;
    case D3DTS_PROJECTION: return 2;
    }
    return -1;
}

} // namespace

RecordingDevice::RecordingDevice(std::shared_ptr<RecordingLog> log)
    : RecordingObject(std::move(log), RecordingLog::Kind::Device), mInScene(false), mPresented(0), mRenderStates{},
      mMaterial{}, mLights{}, mLightEnabled{}, mFVF(0), mTextures{}, mStream(0), mStreamOffset(0), mStride(0)
{
    mRenderStates[D3DRS_ZENABLE] = TRUE;
    mRenderStates[D3DRS_ZWRITEENABLE] = TRUE;
    mRenderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    mRenderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
    mRenderStates[D3DRS_LIGHTING] = TRUE;
    mRenderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    mRenderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    mRenderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    for (D3DMATRIX& m : mTransforms)
        m = IdentityMatrix();
}

const D3DMATRIX& RecordingDevice::Transform(D3DTRANSFORMSTATETYPE state) const
{
    const int slot = TransformSlot(state);
    if (slot < 0)
        throw std::out_of_range("RecordingDevice::Transform");
    return mTransforms[slot];
}

HRESULT RecordingDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::Clear);
    if (SUCCEEDED(result) && (count != 0 || rects || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) != 0))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::Clear, mId, result)) {
        call->args = {count, rects != nullptr, flags, colour, stencil};
        call->floats = {z};
    }
    return result;
}

HRESULT RecordingDevice::BeginScene()
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::BeginScene);
    if (SUCCEEDED(result) && mInScene)
        result = D3DERR_INVALIDCALL;
    mLog->Add(RecOp::BeginScene, mId, result);
    if (SUCCEEDED(result))
        mInScene = true;
    return result;
}

HRESULT RecordingDevice::EndScene()
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::EndScene);
    if (SUCCEEDED(result) && !mInScene)
        result = D3DERR_INVALIDCALL;
    mLog->Add(RecOp::EndScene, mId, result);
    if (SUCCEEDED(result))
        mInScene = false;
    return result;
}

HRESULT RecordingDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                                 const void* dirtyRegion)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::Present);
    if (SUCCEEDED(result) && mInScene)
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::Present, mId, result))
        call->args = {sourceRect != nullptr, destRect != nullptr, destWindowOverride != nullptr,
                      dirtyRegion != nullptr};
    if (SUCCEEDED(result))
        ++mPresented;
    return result;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer9** vertexBuffer, HANDLE* sharedHandle)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::CreateVertexBuffer);
    if (vertexBuffer)
        *vertexBuffer = nullptr;
    if (SUCCEEDED(result) && (length == 0 || !vertexBuffer || sharedHandle))
        result = D3DERR_INVALIDCALL;
    RecordingVertexBuffer* buffer = nullptr;
    if (SUCCEEDED(result)) {
        buffer = new RecordingVertexBuffer(mLog, length, fvf, pool);
        *vertexBuffer = buffer;
    }
    if (RecordedCall* call = mLog->Add(RecOp::CreateVertexBuffer, mId, result)) {
        call->args = {length, usage, fvf, pool};
        call->created = buffer ? buffer->Id() : 0;
    }
    return result;
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::CreateTexture);
    if (texture)
        *texture = nullptr;
    if (SUCCEEDED(result) &&
        (width == 0 || height == 0 || width > kD3DMaxTextureSide || height > kD3DMaxTextureSide || levels != 1 ||
         (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) ||
         (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM) || !texture ||
         sharedHandle))
        result = D3DERR_INVALIDCALL;
    RecordingTexture* created = nullptr;
    if (SUCCEEDED(result)) {
        created = new RecordingTexture(mLog, width, height, format, pool,
                                       static_cast<int>(width * 4) + mLog->TexturePitchPadding());
        *texture = created;
    }
    if (RecordedCall* call = mLog->Add(RecOp::CreateTexture, mId, result)) {
        call->args = {width, height, levels, usage, format, pool};
        call->created = created ? created->Id() : 0;
    }
    return result;
}

HRESULT RecordingDevice::UpdateTexture(IDirect3DTexture9* sourceTexture, IDirect3DTexture9* destinationTexture)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::UpdateTexture);
    auto* source = static_cast<RecordingTexture*>(sourceTexture);
    auto* destination = static_cast<RecordingTexture*>(destinationTexture);
    if (SUCCEEDED(result) &&
        (!source || !destination || source->Pool() != D3DPOOL_SYSTEMMEM || destination->Pool() != D3DPOOL_DEFAULT ||
         source->Width() != destination->Width() || source->Height() != destination->Height() ||
         source->Format() != destination->Format() || source->Locked() || destination->Locked()))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::UpdateTexture, mId, result))
        call->args = {source ? source->Id() : 0, destination ? destination->Id() : 0};
    if (SUCCEEDED(result))
        destination->CopyFrom(*source);
    return result;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::SetTransform);
    const int slot = TransformSlot(state);
    if (SUCCEEDED(result) && (slot < 0 || !matrix))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::SetTransform, mId, result)) {
        call->args = {state};
        if (matrix)
            call->floats.assign(&matrix->m[0][0], &matrix->m[0][0] + 16);
    }
    if (SUCCEEDED(result))
        mTransforms[slot] = *matrix;
    return result;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::SetRenderState);
    if (SUCCEEDED(result) && (state < 0 || static_cast<DWORD>(state) >= kD3DRenderStates))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::SetRenderState, mId, result))
        call->args = {state, value};
    if (SUCCEEDED(result))
        mRenderStates[state] = value;
    return result;
}

HRESULT RecordingDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::SetLight);
    if (SUCCEEDED(result) && (index >= kD3DLights || !light || !D3DLightAccepted(*light)))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::SetLight, mId, result)) {
        call->args = {index};
        if (light)
            call->light = *light;
    }
    if (SUCCEEDED(result))
        mLights[index] = *light;
    return result;
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::LightEnable);
    if (SUCCEEDED(result) && index >= kD3DLights)
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::LightEnable, mId, result))
        call->args = {index, enable};
    if (SUCCEEDED(result))
        mLightEnabled[index] = enable != FALSE;
    return result;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL9* material)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::SetMaterial);
    if (SUCCEEDED(result) && !material)
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::SetMaterial, mId, result)) {
        if (material)
            call->material = *material;
    }
    if (SUCCEEDED(result))
        mMaterial = *material;
    return result;
}

HRESULT RecordingDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes,
                                         UINT stride)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::SetStreamSource);
    auto* buffer = static_cast<RecordingVertexBuffer*>(streamData);
    if (SUCCEEDED(result) && streamNumber != 0)
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::SetStreamSource, mId, result))
        call->args = {streamNumber, buffer ? buffer->Id() : 0, offsetInBytes, stride};
    if (SUCCEEDED(result)) {
        mStream = buffer ? buffer->Id() : 0;
        mStreamOffset = offsetInBytes;
        mStride = stride;
    }
    return result;
}

HRESULT RecordingDevice::SetFVF(DWORD fvf)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::SetFVF);
    if (RecordedCall* call = mLog->Add(RecOp::SetFVF, mId, result))
        call->args = {fvf};
    if (SUCCEEDED(result))
        mFVF = fvf;
    return result;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DTexture9* texture)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::SetTexture);
    auto* bound = static_cast<RecordingTexture*>(texture);
    // Only stage 0 is drawn; a system-memory texture is never drawn.
    if (SUCCEEDED(result) &&
        (stage >= kD3DTextureStages || (bound && (stage != 0 || bound->Pool() == D3DPOOL_SYSTEMMEM))))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::SetTexture, mId, result))
        call->args = {stage, bound ? bound->Id() : 0};
    if (SUCCEEDED(result))
        mTextures[stage] = bound ? bound->Id() : 0;
    return result;
}

bool RecordingDevice::DrawableState(UINT stride) const
{
    const RecordingTexture* texture = mLog->Texture(mTextures[0]);
    return D3DVertexFormatSupported(mFVF) && stride >= D3DVertexFormatSize(mFVF) && !(texture && texture->Locked());
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::DrawPrimitive);
    const RecordingVertexBuffer* buffer = mLog->VertexBuffer(mStream);
    const UINT vertices = D3DPrimitiveVertexCount(primitiveType, primitiveCount);
    const uint64_t first = mStreamOffset + static_cast<uint64_t>(startVertex) * mStride;
    // The last vertex read needs only the format's bytes, not a whole stride.
    const uint64_t end = vertices == 0 ? first : first + (vertices - 1ull) * mStride + D3DVertexFormatSize(mFVF);
    if (SUCCEEDED(result) && (!mInScene || !DrawableState(mStride) || !buffer || buffer->Locked() || vertices == 0 ||
                              end > buffer->Bytes().size()))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::DrawPrimitive, mId, result)) {
        call->args = {primitiveType, startVertex, primitiveCount, mStride};
        call->texture0 = mTextures[0];
        if (SUCCEEDED(result))
            call->bytes.assign(buffer->Bytes().begin() + static_cast<long>(first),
                               buffer->Bytes().begin() + static_cast<long>(end));
    }
    return result;
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* vertexData,
                                         UINT vertexStride)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::DrawPrimitiveUP);
    const UINT vertices = D3DPrimitiveVertexCount(primitiveType, primitiveCount);
    if (SUCCEEDED(result) && (!mInScene || !DrawableState(vertexStride) || !vertexData || vertices == 0))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::DrawPrimitiveUP, mId, result)) {
        call->args = {primitiveType, primitiveCount, vertexStride};
        call->texture0 = mTextures[0];
        if (SUCCEEDED(result)) {
            const auto* bytes = static_cast<const uint8_t*>(vertexData);
            call->bytes.assign(bytes, bytes + static_cast<size_t>(vertices) * vertexStride);
        }
    }
    return result;
}
