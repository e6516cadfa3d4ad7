#pragma once
// The OpenGL device: IDirect3DDevice9 drawn with one OpenGL 3.3 core context.
// Internal to the OpenGL back end; GLProvider.h describes what it implements.
//
// The device checks and dispatches calls. What it hands on:
// - the Set calls only record the wanted state, and one record (mDirty) says
//   which derived state needs working out again before the next draw: the
//   transform and light rows (GLFixedFunction.h), the pipeline state, the
//   program and texture;
// - each draw, with that state and transform, goes to the draw batch
//   (GLDrawBatch.h), which merges repeated models into instanced draws and
//   hands runs of draws to GLBatchDrawer, which makes the OpenGL calls;
// - frames are drawn into GLBackBuffer's target, which Present shows.
// Fans from a vertex buffer are drawn as ranges of that buffer's triangle
// indices (see GLVertexBuffer), so that a run of faces is one range.
//
// Threads: a single lock guards the whole device and its resources. The
// thread that created the device owns the context: only it may clear, draw,
// present, read back, and drop the last reference to the device. Other
// threads may create, lock, fill, update and release resources and set state.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/D3D9.h"
#include "platform/gl/GLBackBuffer.h"
#include "platform/gl/GLBatchDrawer.h"
#include "platform/gl/GLContext.h"
#include "platform/gl/GLDrawBatch.h"
#include "platform/gl/GLFixedFunction.h"

namespace OrvelGL {

class GLVertexBuffer;
class GLTexture;

class GLDevice : public IDirect3DDevice9 {
public:
    // Builds the device on the calling thread, whose current context is
    // context (taken over). Null when the back buffer or the program cannot
    // be made.
    static GLDevice* Create(std::unique_ptr<GLContext> context, UINT width, UINT height, D3DFORMAT format);

    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const void* dirtyRegion) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** vertexBuffer, HANDLE* sharedHandle) override;
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

    // Back buffer pixels, top row first, 0xAARRGGBB (alpha forced to 0xFF for
    // an X8R8G8B8 back buffer). D3DERR_INVALIDCALL while it holds no frame
    // (GLBackBuffer.h).
    HRESULT ReadBackBuffer(std::vector<uint32_t>& pixels, UINT& width, UINT& height);
    // Merging of repeated models into instanced draws (on by default).
    void SetMerging(bool merging);
    SDrawCounts Counts();

    // For the resources: the device lock, unbinding on their last release,
    // and OpenGL names to delete on the device's thread.
    std::mutex& Mutex() { return mMutex; }
    void ForgetVertexBufferLocked(GLVertexBuffer* buffer);
    void ForgetTextureLocked(GLTexture* texture);
    // A texture's pixels changed (it is uploaded again at its next draw).
    void TextureChangedLocked();
    void RetireBufferLocked(unsigned buffer);
    void RetireVertexArrayLocked(unsigned vertexArray);
    void RetireTextureLocked(unsigned texture);
    // The buffer of per-instance transforms that vertex arrays read.
    unsigned InstanceBufferLocked() const { return mDrawer.InstanceBuffer(); }

private:
    // What needs working out again before the next draw.
    enum Dirty : uint32_t {
        kDirtyTransform = 1, // world, view or projection
        kDirtyLight = 2,     // material, light, ambient, lighting, view, vertex colour
        kDirtyPipeline = 4,  // depth, culling, blending
        kDirtyProgram = 8,   // texture (and its pixels), alpha test, lighting, vertex format
        kDirtyAll = 15,
    };

    GLDevice(std::unique_ptr<GLContext> context, UINT width, UINT height, D3DFORMAT format);
    ~GLDevice() override;
    bool Initialise();

    // On the device's thread, with its context current (made so when another
    // device's was); false elsewhere.
    bool UsableHere()
    {
        return std::this_thread::get_id() == mOwner && (mContext->IsCurrent() || mContext->MakeCurrent());
    }
    // The checks every draw makes: on the device's thread inside a scene, a
    // known primitive type and count, a supported vertex format and a stride
    // that holds it, no locked texture bound.
    HRESULT CheckDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT stride, unsigned& mode, UINT& vertices);
    // Works out what mDirty names.
    void PrepareState();
    // Whether the alpha test can change nothing: every texel of the bound
    // texture passes it or, at alpha 0, blends to nothing without writing depth.
    bool AlphaTestInvisible() const;
    void AddDraw(unsigned vertexArray, unsigned mode, DrawSource source, SDrawRange range);
    void DeleteRetiredNames();

    std::atomic<ULONG> mRefs{1};
    std::mutex mMutex;
    std::thread::id mOwner;
    std::unique_ptr<GLContext> mContext;
    UINT mWidth, mHeight;
    D3DFORMAT mFormat;
    UINT mMaxTextureSide = 0; // kD3DMaxTextureSide, or less where the driver draws less
    bool mInScene = false;

    GLBackBuffer mBackBuffer;
    GLBatchDrawer mDrawer;
    GLDrawBatch mBatch{mDrawer};

    // Wanted state, as the Set calls left it.
    D3DMATRIX mWorld, mView, mProjection;
    D3DMATERIAL9 mMaterial;
    D3DLIGHT9 mLight;
    bool mLightEnabled = false;
    bool mLightValid = false;
    DWORD mZEnable = TRUE, mZWrite = TRUE, mZFunc = D3DCMP_LESSEQUAL, mCull = D3DCULL_CCW;
    DWORD mAlphaTest = FALSE, mAlphaRef = 0, mAlphaFunc = D3DCMP_ALWAYS;
    DWORD mBlend = FALSE, mSrcBlend = D3DBLEND_ONE, mDestBlend = D3DBLEND_ZERO;
    DWORD mLighting = TRUE, mAmbient = 0;
    DWORD mFvf = 0;
    GLVertexBuffer* mStream = nullptr; // not referenced: forgotten on its last release
    UINT mStreamOffset = 0, mStreamStride = 0;
    GLTexture* mTexture = nullptr;     // likewise

    // The state record: what to work out again, and the state and transform
    // of the next draw as last worked out. The flags say whether either
    // changed since the last draw went to the batch.
    uint32_t mDirty = kDirtyAll;
    SDrawState mDraw;
    STransformRows mTransform;
    bool mDrawChanged = true, mTransformChanged = true;

    std::vector<unsigned> mRetiredBuffers, mRetiredVertexArrays, mRetiredTextures;
};

} // namespace OrvelGL
