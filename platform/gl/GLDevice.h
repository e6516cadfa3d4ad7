#pragma once
// The OpenGL device: IDirect3DDevice9 drawn with one OpenGL 3.3 core context.
// Internal to the OpenGL back end; GLProvider.h describes what it implements.
//
// Threads: a single lock guards the whole device and its resources. The
// thread that created the device owns the context: only it may clear, draw,
// present, read back, and drop the last reference to the device. Other
// threads may create, lock, fill, update and release resources and set state.
//
// Draw batching: draws are collected while nothing that affects them changes
// (vertex array, primitive type, uniforms, fixed state, texture) and issued
// together (one draw for adjoining ranges, a multi-draw otherwise) when
// something does, at EndScene, Clear, Present and read-back. Fans from a
// vertex buffer are drawn as ranges of that buffer's triangle indices (see
// GLVertexBuffer). Set calls only record the wanted state; what reaches
// OpenGL is compared with what it already has, so setting a value again
// costs nothing.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/D3D9.h"
#include "platform/gl/GLContext.h"
#include "platform/gl/GLShaderProgram.h"

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
    // an X8R8G8B8 back buffer).
    HRESULT ReadBackBuffer(std::vector<uint32_t>& pixels, UINT& width, UINT& height);

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

private:
    GLDevice(std::unique_ptr<GLContext> context, UINT width, UINT height, D3DFORMAT format);
    ~GLDevice() override;
    bool Initialise();

    // On the device's thread, with its context current (made so when another
    // device's was); false elsewhere.
    bool UsableHere()
    {
        return std::this_thread::get_id() == mOwner && (mContext->IsCurrent() || mContext->MakeCurrent());
    }
    // Issues the collected draws, if any.
    void Flush();
    // Brings uniforms and fixed state up to what the Set calls asked for.
    void ApplyState(DWORD fvf);
    void ApplyFixedState();
    void ComputeTransformRows(float* rows) const;
    void ComputeLightRows(float* rows, DWORD fvf) const;
    void DeleteRetiredNames();
    void PresentToWindow();
    // The common tail of DrawPrimitive / DrawPrimitiveUP once the vertex
    // array is known; firstVertex in that array's vertices.
    void AddDraw(unsigned mode, unsigned vertexArray, bool fromMemory, int firstVertex, int vertexCount, bool indexed);

    std::atomic<ULONG> mRefs{1};
    std::mutex mMutex;
    std::thread::id mOwner;
    std::unique_ptr<GLContext> mContext;
    UINT mWidth, mHeight;
    D3DFORMAT mFormat;
    bool mInScene = false;

    GLShaderProgram mPrograms[GLShaderProgram::kVariants]; // by variant bits
    int mAppliedProgram = -1;
    unsigned mFramebuffer = 0, mColourBuffer = 0, mDepthBuffer = 0;
    unsigned mStreamBuffer = 0;         // vertices of DrawPrimitiveUP
    unsigned mStreamArrays[4] = {};     // one vertex array per memory layout slot
    DWORD mStreamArrayFvf[4] = {};
    UINT mStreamArrayStride[4] = {};

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
    bool mTransformDirty = true, mLightDirty = true, mFixedDirty = true;
    // Anything a draw depends on changed since the last draw applied state.
    bool mStateChanged = true;
    DWORD mAppliedStateFvf = 0xFFFFFFFFu;
    DWORD mLightFvf = 0xFFFFFFFFu; // the format mLightRows were computed for
    float mTransformRows[GLShaderProgram::kTransformRows * 4];
    float mLightRows[GLShaderProgram::kLightRows * 4];

    // What OpenGL has.
    bool mAppliedDepthTest = false, mAppliedDepthWrite = true, mAppliedBlend = false, mAppliedCull = false;
    unsigned mAppliedDepthFunc = 0, mAppliedSrcBlend = 0, mAppliedDestBlend = 0, mAppliedCullFace = 0;
    unsigned mAppliedTexture = 0;
    unsigned mAppliedVertexArray = 0;

    // The draws collected so far (all share mode and vertex array).
    unsigned mBatchMode = 0;
    unsigned mBatchVertexArray = 0;
    bool mBatchFromMemory = false;
    bool mBatchIndexed = false; // firsts are index positions in the vertex array's element buffer
    std::vector<const void*> mBatchOffsets;
    std::vector<int> mBatchFirsts;
    std::vector<int> mBatchCounts;
    std::vector<uint8_t> mMemoryVertices; // DrawPrimitiveUP data of the batch
    UINT mMemoryStride = 0;

    std::vector<unsigned> mRetiredBuffers, mRetiredVertexArrays, mRetiredTextures;
};

} // namespace OrvelGL
