#include "platform/gl/GLDevice.h"

#include <algorithm>
#include <cstring>
#include <new>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include "platform/gl/GLShaderProgram.h"
#include "platform/gl/GLTexture.h"
#include "platform/gl/GLVertexBuffer.h"

namespace OrvelGL {

namespace {

float Saturate(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// The OpenGL mode of a primitive type.
GLenum PrimitiveMode(D3DPRIMITIVETYPE type)
{
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST: return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    }
    return GL_POINTS;
}

} // namespace

GLDevice* GLDevice::Create(std::unique_ptr<GLContext> context, UINT width, UINT height, D3DFORMAT format)
{
    GLDevice* device = new (std::nothrow) GLDevice(std::move(context), width, height, format);
    if (device == nullptr)
        return nullptr;
    if (!device->Initialise()) {
        device->Release();
        return nullptr;
    }
    return device;
}

GLDevice::GLDevice(std::unique_ptr<GLContext> context, UINT width, UINT height, D3DFORMAT format)
    : mOwner(std::this_thread::get_id()), mContext(std::move(context)), mWidth(width), mHeight(height),
      mFormat(format)
{
    mWorld = mView = mProjection = IdentityMatrix();
    std::memset(&mMaterial, 0, sizeof mMaterial);
    std::memset(&mLight, 0, sizeof mLight);
    // Compared as bytes by the batch: no byte may be left unset.
    std::memset(&mDraw, 0, sizeof mDraw);
    std::memset(&mTransform, 0, sizeof mTransform);
}

bool GLDevice::Initialise()
{
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    if (maxTextureSize <= 0)
        return false;
    mMaxTextureSide = std::min(kD3DMaxTextureSide, UINT(maxTextureSize));
    return mBackBuffer.Initialise(*mContext, mWidth, mHeight) && mDrawer.Initialise(mWidth, mHeight);
}

GLDevice::~GLDevice()
{
    if (mContext && !mContext->IsCurrent())
        mContext->MakeCurrent();
    DeleteRetiredNames();
    mDrawer.Destroy();
    mBackBuffer.Destroy();
    mContext.reset();
}

ULONG GLDevice::AddRef()
{
    return ++mRefs;
}

ULONG GLDevice::Release()
{
    ULONG left = --mRefs;
    if (left == 0)
        delete this;
    return left;
}

void GLDevice::SetMerging(bool merging)
{
    std::lock_guard<std::mutex> hold(mMutex);
    mBatch.SetMerging(merging); // a run collected the other way ends at the next draw
}

SDrawCounts GLDevice::Counts()
{
    std::lock_guard<std::mutex> hold(mMutex);
    return mDrawer.Counts();
}

// ---- Resources ------------------------------------------------------------

HRESULT GLDevice::CreateVertexBuffer(UINT length, DWORD /*usage*/, DWORD fvf, D3DPOOL /*pool*/,
                                     IDirect3DVertexBuffer9** vertexBuffer, HANDLE* /*sharedHandle*/)
{
    if (vertexBuffer == nullptr)
        return D3DERR_INVALIDCALL;
    *vertexBuffer = nullptr;
    if (length == 0)
        return D3DERR_INVALIDCALL;
    try {
        *vertexBuffer = new GLVertexBuffer(this, length, fvf);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT GLDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD /*usage*/, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture9** texture, HANDLE* /*sharedHandle*/)
{
    if (texture == nullptr)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || width > mMaxTextureSide || height > mMaxTextureSide || levels != 1 ||
        (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) ||
        (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM))
        return D3DERR_INVALIDCALL;
    try {
        *texture = new GLTexture(this, width, height, format, pool);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT GLDevice::UpdateTexture(IDirect3DTexture9* sourceTexture, IDirect3DTexture9* destinationTexture)
{
    std::lock_guard<std::mutex> hold(mMutex);
    auto* source = dynamic_cast<GLTexture*>(sourceTexture);
    auto* destination = dynamic_cast<GLTexture*>(destinationTexture);
    if (source == nullptr || destination == nullptr || source == destination ||
        source->Pool() != D3DPOOL_SYSTEMMEM || destination->Pool() != D3DPOOL_DEFAULT || source->IsLocked() ||
        source->Width() != destination->Width() || source->Height() != destination->Height() ||
        source->Format() != destination->Format())
        return D3DERR_INVALIDCALL;
    try {
        destination->CopyPixelsFrom(*source);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    mDirty |= kDirtyProgram; // the texture is uploaded again at its next draw
    return D3D_OK;
}

void GLDevice::ForgetVertexBufferLocked(GLVertexBuffer* buffer)
{
    if (mStream == buffer)
        mStream = nullptr;
}

void GLDevice::ForgetTextureLocked(GLTexture* texture)
{
    if (mTexture == texture)
        mTexture = nullptr;
    mDirty |= kDirtyProgram;
}

void GLDevice::TextureChangedLocked()
{
    mDirty |= kDirtyProgram;
}

void GLDevice::RetireBufferLocked(unsigned buffer)
{
    mRetiredBuffers.push_back(buffer);
}

void GLDevice::RetireVertexArrayLocked(unsigned vertexArray)
{
    mRetiredVertexArrays.push_back(vertexArray);
}

void GLDevice::RetireTextureLocked(unsigned texture)
{
    mRetiredTextures.push_back(texture);
}

void GLDevice::DeleteRetiredNames()
{
    if (mRetiredVertexArrays.empty() && mRetiredBuffers.empty() && mRetiredTextures.empty())
        return;
    mDrawer.ForgetState(); // a name deleted now may be made again for something else
    for (unsigned name : mRetiredVertexArrays)
        glDeleteVertexArrays(1, &name);
    for (unsigned name : mRetiredBuffers)
        glDeleteBuffers(1, &name);
    for (unsigned name : mRetiredTextures)
        glDeleteTextures(1, &name);
    mRetiredVertexArrays.clear();
    mRetiredBuffers.clear();
    mRetiredTextures.clear();
}

// ---- State ----------------------------------------------------------------

HRESULT GLDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (matrix == nullptr)
        return D3DERR_INVALIDCALL;
    D3DMATRIX* target;
    switch (state) {
    case D3DTS_WORLD: target = &mWorld; break;
    case D3DTS_VIEW: target = &mView; break;
    case D3DTS_PROJECTION: target = &mProjection; break;
    default: return D3DERR_INVALIDCALL;
    }
    if (std::memcmp(target, matrix, sizeof *matrix) != 0) {
        *target = *matrix;
        // The light's direction is kept in view space.
        mDirty |= kDirtyTransform | (state == D3DTS_VIEW ? uint32_t(kDirtyLight) : 0u);
    }
    return D3D_OK;
}

HRESULT GLDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (state < 0 || DWORD(state) >= kD3DRenderStates)
        return D3DERR_INVALIDCALL;
    DWORD* target = nullptr;
    uint32_t dirty = 0;
    // Depth writes and blending also decide whether the alpha test shows
    // (AlphaTestInvisible), hence the program.
    switch (state) {
    case D3DRS_ZENABLE: target = &mZEnable; dirty = kDirtyPipeline | kDirtyProgram; break;
    case D3DRS_ZWRITEENABLE: target = &mZWrite; dirty = kDirtyPipeline | kDirtyProgram; break;
    case D3DRS_ZFUNC: target = &mZFunc; dirty = kDirtyPipeline; break;
    case D3DRS_CULLMODE: target = &mCull; dirty = kDirtyPipeline; break;
    case D3DRS_ALPHATESTENABLE: target = &mAlphaTest; dirty = kDirtyProgram; break;
    case D3DRS_ALPHAREF: target = &mAlphaRef; dirty = kDirtyProgram; break;
    case D3DRS_ALPHAFUNC: target = &mAlphaFunc; dirty = kDirtyProgram; break;
    case D3DRS_ALPHABLENDENABLE: target = &mBlend; dirty = kDirtyPipeline | kDirtyProgram; break;
    case D3DRS_SRCBLEND: target = &mSrcBlend; dirty = kDirtyPipeline | kDirtyProgram; break;
    case D3DRS_DESTBLEND: target = &mDestBlend; dirty = kDirtyPipeline | kDirtyProgram; break;
    case D3DRS_LIGHTING: target = &mLighting; dirty = kDirtyLight | kDirtyProgram; break;
    case D3DRS_AMBIENT: target = &mAmbient; dirty = kDirtyLight; break;
    default: return D3D_OK; // states this back end does not model
    }
    if (*target != value) {
        *target = value;
        mDirty |= dirty;
    }
    return D3D_OK;
}

HRESULT GLDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (light == nullptr || index >= kD3DLights || !D3DLightAccepted(*light))
        return D3DERR_INVALIDCALL;
    if (index != 0)
        return D3D_OK; // one light only
    mLight = *light;
    mLightValid = true;
    mDirty |= kDirtyLight;
    return D3D_OK;
}

HRESULT GLDevice::LightEnable(DWORD index, BOOL enable)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (index >= kD3DLights)
        return D3DERR_INVALIDCALL;
    if (index == 0 && mLightEnabled != (enable != FALSE)) {
        mLightEnabled = enable != FALSE;
        mDirty |= kDirtyLight;
    }
    return D3D_OK;
}

HRESULT GLDevice::SetMaterial(const D3DMATERIAL9* material)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (material == nullptr)
        return D3DERR_INVALIDCALL;
    if (std::memcmp(&mMaterial, material, sizeof *material) != 0) {
        mMaterial = *material;
        mDirty |= kDirtyLight;
    }
    return D3D_OK;
}

HRESULT GLDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes,
                                  UINT stride)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (streamNumber != 0)
        return D3DERR_INVALIDCALL;
    GLVertexBuffer* buffer = nullptr;
    if (streamData != nullptr) {
        buffer = dynamic_cast<GLVertexBuffer*>(streamData);
        if (buffer == nullptr)
            return D3DERR_INVALIDCALL;
    }
    mStream = buffer;
    mStreamOffset = offsetInBytes;
    mStreamStride = stride;
    return D3D_OK;
}

HRESULT GLDevice::SetFVF(DWORD fvf)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (fvf != mFvf) {
        // A vertex colour replaces the material's diffuse and is what a
        // texture is modulated by.
        if ((fvf ^ mFvf) & D3DFVF_DIFFUSE)
            mDirty |= kDirtyLight | kDirtyProgram;
        mFvf = fvf;
    }
    return D3D_OK;
}

HRESULT GLDevice::SetTexture(DWORD stage, IDirect3DTexture9* texture)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (stage >= kD3DTextureStages)
        return D3DERR_INVALIDCALL;
    GLTexture* glTexture = nullptr;
    if (texture != nullptr) {
        glTexture = dynamic_cast<GLTexture*>(texture);
        // Only stage 0 is drawn; a system-memory texture is never drawn.
        if (glTexture == nullptr || stage != 0 || glTexture->Pool() == D3DPOOL_SYSTEMMEM)
            return D3DERR_INVALIDCALL;
    }
    if (stage == 0 && mTexture != glTexture) {
        mTexture = glTexture;
        mDirty |= kDirtyProgram;
    }
    return D3D_OK;
}

bool GLDevice::AlphaTestInvisible() const
{
    // A texel of alpha 0 blended over with (alpha, 1 - alpha) leaves the
    // pixel as it was, and writes no depth where depth writes are off.
    if (mTexture == nullptr || !mBlend || mSrcBlend != D3DBLEND_SRCALPHA || mDestBlend != D3DBLEND_INVSRCALPHA ||
        (mZEnable && mZWrite))
        return false;
    const UINT least = mTexture->LeastVisibleAlpha(), ref = mAlphaRef & 0xFF;
    return (mAlphaFunc == D3DCMP_GREATEREQUAL && least >= ref) || (mAlphaFunc == D3DCMP_GREATER && least > ref);
}

void GLDevice::PrepareState()
{
    if (mDirty == 0)
        return;
    if (mDirty & kDirtyTransform) {
        mTransform = ComputeTransformRows(mWorld, mView, mProjection);
        mTransformChanged = true;
    }
    if (mDirty & kDirtyLight) {
        SLightingState lighting;
        lighting.material = mMaterial;
        lighting.light = mLight;
        lighting.lightEnabled = mLightEnabled && mLightValid;
        lighting.ambient = mAmbient;
        lighting.lighting = mLighting != FALSE;
        lighting.vertexColour = (mFvf & D3DFVF_DIFFUSE) != 0;
        lighting.view = mView;
        mDraw.light = ComputeLightRows(lighting);
    }
    if (mDirty & kDirtyPipeline) {
        mDraw.pipeline = SPipelineState{mZEnable != FALSE, mZWrite != FALSE, mZFunc, mCull,
                                        mBlend != FALSE, mSrcBlend, mDestBlend};
    }
    if (mDirty & kDirtyProgram) {
        // Texture stage 0: uploaded on first use (before the draws queued
        // with its old pixels are drawn).
        unsigned texture = 0;
        if (mTexture != nullptr) {
            if (mTexture->NeedsUpload()) {
                mBatch.Flush();
                mTexture->Upload();
                mDrawer.ForgetState();
            }
            texture = mTexture->Name();
        }
        const bool lit = mLighting != FALSE;
        const bool alphaTest = mAlphaTest != FALSE && mAlphaFunc != D3DCMP_ALWAYS && !AlphaTestInvisible();
        mDraw.texture = texture;
        mDraw.program = (lit ? GLShaderProgram::kLit : 0) | (alphaTest ? GLShaderProgram::kAlphaTest : 0);
        if (texture != 0) {
            // Without lighting and vertex colour the texture would be
            // multiplied by opaque white.
            const bool modulate = lit || (mFvf & D3DFVF_DIFFUSE) != 0;
            mDraw.program |= GLShaderProgram::kTextured | (modulate ? GLShaderProgram::kModulate : 0);
        }
        mDraw.fragment = SFragmentRow{alphaTest ? float(mAlphaFunc) : 0.0f, alphaTest ? float(mAlphaRef & 0xFF) : 0.0f,
                                      {0.0f, 0.0f}};
    }
    mDrawChanged = mDrawChanged || (mDirty & ~uint32_t(kDirtyTransform)) != 0;
    mDirty = 0;
}

// ---- Frames and draws -----------------------------------------------------

HRESULT GLDevice::CheckDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT stride, unsigned& mode, UINT& vertices)
{
    vertices = D3DPrimitiveVertexCount(type, primitiveCount);
    if (!UsableHere() || !mInScene || vertices == 0 || !D3DVertexFormatSupported(mFvf) ||
        stride < D3DVertexFormatSize(mFvf) || (mTexture != nullptr && mTexture->IsLocked()))
        return D3DERR_INVALIDCALL;
    mode = PrimitiveMode(type);
    return D3D_OK;
}

void GLDevice::AddDraw(unsigned vertexArray, unsigned mode, DrawSource source, SDrawRange range)
{
    if (vertexArray != mDraw.vertexArray || mode != mDraw.mode || source != mDraw.source) {
        mDraw.vertexArray = vertexArray;
        mDraw.mode = mode;
        mDraw.source = source;
        mDrawChanged = true;
    }
    mBatch.Add(mDraw, mDrawChanged, mTransform, mTransformChanged, range);
    mDrawChanged = mTransformChanged = false;
}

HRESULT GLDevice::DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount)
{
    std::lock_guard<std::mutex> hold(mMutex);
    unsigned mode;
    UINT vertices;
    HRESULT result = CheckDraw(primitiveType, primitiveCount, mStreamStride, mode, vertices);
    if (FAILED(result))
        return result;
    if (mStream == nullptr || mStream->IsLocked())
        return D3DERR_INVALIDCALL;
    // Every vertex read must lie inside the buffer.
    const uint64_t end = uint64_t(mStreamOffset) + (uint64_t(startVertex) + vertices - 1) * mStreamStride +
                         D3DVertexFormatSize(mFvf);
    if (end > mStream->Length() || uint64_t(startVertex) + vertices > 0x7FFFFFFFu)
        return D3DERR_INVALIDCALL;

    PrepareState();
    if (mStream->NeedsUpload()) {
        mBatch.Flush();
        mStream->Upload();
    }
    if (mode == GL_TRIANGLE_FAN) {
        // Drawn as indexed triangles from the buffer's fan lists, so that a
        // run of fans becomes one index range.
        if (!mStream->ListsMatch(mFvf, mStreamStride, mStreamOffset)) {
            mBatch.Flush();
            mStream->ResetLists(mFvf, mStreamStride, mStreamOffset);
        }
        uint32_t listFirst;
        if (!mStream->FindFan(startVertex, vertices, listFirst)) {
            mBatch.Flush();
            listFirst = mStream->AddFan(startVertex, vertices);
            mDrawer.ForgetState();
        }
        const unsigned vertexArray = mStream->ListVertexArray();
        if (uint64_t(listFirst) + 3 * (vertices - 2) > 0x7FFFFFFFu)
            return D3DERR_INVALIDCALL;
        AddDraw(vertexArray, GL_TRIANGLES, DrawSource::BufferIndexed,
                SDrawRange{int32_t(listFirst), int32_t(3 * (vertices - 2))});
        return D3D_OK;
    }
    if (!mStream->VertexArrayMatches(mFvf, mStreamStride, mStreamOffset)) {
        mBatch.Flush();
        mStream->VertexArrayFor(mFvf, mStreamStride, mStreamOffset);
        mDrawer.ForgetState();
    }
    AddDraw(mStream->VertexArrayFor(mFvf, mStreamStride, mStreamOffset), mode, DrawSource::Buffer,
            SDrawRange{int32_t(startVertex), int32_t(vertices)});
    return D3D_OK;
}

HRESULT GLDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* vertexData,
                                  UINT vertexStride)
{
    std::lock_guard<std::mutex> hold(mMutex);
    unsigned mode;
    UINT vertices;
    HRESULT result = CheckDraw(primitiveType, primitiveCount, vertexStride, mode, vertices);
    if (FAILED(result))
        return result;
    const uint64_t bytes = uint64_t(vertices) * vertexStride;
    if (vertexData == nullptr || bytes > 0x7FFFFFFFu)
        return D3DERR_INVALIDCALL;

    PrepareState();
    // The data goes with the run it is drawn in: a run it cannot join (an
    // instanced one, or one under another transform) is drawn first.
    if (mBatch.Instanced() || mTransformChanged || !mDrawer.HasMemoryVertexArray(mFvf, vertexStride))
        mBatch.Flush();
    const unsigned vertexArray = mDrawer.MemoryVertexArray(mFvf, vertexStride);
    const int32_t first = mDrawer.AppendMemory(vertexData, size_t(bytes), vertexStride);
    AddDraw(vertexArray, mode, DrawSource::Memory, SDrawRange{first, int32_t(vertices)});
    return D3D_OK;
}

HRESULT GLDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD /*stencil*/)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (!UsableHere() || count != 0 || rects != nullptr || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) != 0)
        return D3DERR_INVALIDCALL;
    mBatch.Flush();
    mDrawer.Clear((flags & D3DCLEAR_TARGET) != 0, colour, (flags & D3DCLEAR_ZBUFFER) != 0, Saturate(z));
    if (flags & D3DCLEAR_TARGET)
        mBackBuffer.Cleared();
    return D3D_OK;
}

HRESULT GLDevice::BeginScene()
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (!UsableHere() || mInScene)
        return D3DERR_INVALIDCALL;
    mInScene = true;
    return D3D_OK;
}

HRESULT GLDevice::EndScene()
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (!UsableHere() || !mInScene)
        return D3DERR_INVALIDCALL;
    mBatch.Flush();
    mInScene = false;
    return D3D_OK;
}

HRESULT GLDevice::Present(const RECT* /*sourceRect*/, const RECT* /*destRect*/, HWND /*destWindowOverride*/,
                          const void* /*dirtyRegion*/)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (!UsableHere() || mInScene)
        return D3DERR_INVALIDCALL;
    mBatch.Flush();
    // Never lost: a window without the focus is still drawn to.
    mBackBuffer.Present();
    mDrawer.ForgetState();
    DeleteRetiredNames();
    return D3D_OK;
}

HRESULT GLDevice::ReadBackBuffer(std::vector<uint32_t>& pixels, UINT& width, UINT& height)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (!UsableHere())
        return D3DERR_INVALIDCALL;
    mBatch.Flush();
    try {
        if (!mBackBuffer.Read(pixels, mFormat == D3DFMT_X8R8G8B8))
            return D3DERR_INVALIDCALL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    width = mWidth;
    height = mHeight;
    return D3D_OK;
}

} // namespace OrvelGL
