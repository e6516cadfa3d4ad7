#include "platform/gl/GLDevice.h"

#include <cmath>
#include <cstring>
#include <new>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include "platform/gl/GLLetterbox.h"
#include "platform/gl/GLTexture.h"
#include "platform/gl/GLVertexBuffer.h"
#include "platform/gl/GLVertexLayout.h"

namespace OrvelGL {

namespace {

// The largest texture side accepted (llvmpipe's limit; keeps sizes in range).
constexpr UINT kMaxTextureSide = 16384;

D3DMATRIX Identity()
{
    D3DMATRIX m;
    std::memset(&m, 0, sizeof m);
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

void Multiply(const D3DMATRIX& a, const D3DMATRIX& b, D3DMATRIX& out)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
}

void Cross(const float* a, const float* b, float* out)
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

float Saturate(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

GLenum BlendFactor(DWORD blend)
{
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case 3: return GL_SRC_COLOR;
    case 4: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case 7: return GL_DST_ALPHA;
    case 8: return GL_ONE_MINUS_DST_ALPHA;
    case 9: return GL_DST_COLOR;
    case 10: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
    }
}

// D3DCMP_NEVER..ALWAYS (1..8) are in the order of GL_NEVER..GL_ALWAYS.
GLenum CompareFunction(DWORD func)
{
    return (func >= D3DCMP_NEVER && func <= D3DCMP_ALWAYS) ? GLenum(GL_NEVER + (func - D3DCMP_NEVER)) : GL_LEQUAL;
}

// OpenGL mode and vertex count of primitiveCount primitives; false for an
// unknown type or a count too large to draw.
bool Primitive(D3DPRIMITIVETYPE type, UINT primitiveCount, GLenum& mode, uint64_t& vertices)
{
    uint64_t n = primitiveCount;
    switch (type) {
    case D3DPT_POINTLIST: mode = GL_POINTS; vertices = n; break;
    case D3DPT_LINELIST: mode = GL_LINES; vertices = 2 * n; break;
    case D3DPT_LINESTRIP: mode = GL_LINE_STRIP; vertices = n + 1; break;
    case D3DPT_TRIANGLELIST: mode = GL_TRIANGLES; vertices = 3 * n; break;
    case D3DPT_TRIANGLESTRIP: mode = GL_TRIANGLE_STRIP; vertices = n + 2; break;
    case D3DPT_TRIANGLEFAN: mode = GL_TRIANGLE_FAN; vertices = n + 2; break;
    default: return false;
    }
    return vertices <= 0x7FFFFFFFu;
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
    mWorld = mView = mProjection = Identity();
    std::memset(&mMaterial, 0, sizeof mMaterial);
    std::memset(&mLight, 0, sizeof mLight);
    std::memset(mTransformRows, 0, sizeof mTransformRows);
    std::memset(mLightRows, 0, sizeof mLightRows);
    mBatchFirsts.reserve(4096);
    mBatchCounts.reserve(4096);
    mMemoryVertices.reserve(64 * 1024);
}

bool GLDevice::Initialise()
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (maxSize <= 0 || mWidth > UINT(maxSize) || mHeight > UINT(maxSize))
        return false;

    glGenFramebuffers(1, &mFramebuffer);
    glGenRenderbuffers(1, &mColourBuffer);
    glGenRenderbuffers(1, &mDepthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, mColourBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, GLsizei(mWidth), GLsizei(mHeight));
    glBindRenderbuffer(GL_RENDERBUFFER, mDepthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, GLsizei(mWidth), GLsizei(mHeight));
    glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, mColourBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, mDepthBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return false;
    for (int variant = GLShaderProgram::kVariants - 1; variant >= 0; --variant)
        if (!mPrograms[variant].Build(variant))
            return false;
    mAppliedProgram = 0;
    glGenBuffers(1, &mStreamBuffer);

    // OpenGL's defaults differ from the device's: set everything explicitly.
    glViewport(0, 0, GLsizei(mWidth), GLsizei(mHeight));
    glDepthRange(0.0, 1.0);
    glDisable(GL_DITHER);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glFrontFace(GL_CW); // front faces run clockwise on screen
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glActiveTexture(GL_TEXTURE0);
    glVertexAttrib4f(GLShaderProgram::kAttribNormal, 0.0f, 0.0f, 0.0f, 0.0f);
    glVertexAttrib4f(GLShaderProgram::kAttribColour, 1.0f, 1.0f, 1.0f, 1.0f);
    glVertexAttrib4f(GLShaderProgram::kAttribTexCoord, 0.0f, 0.0f, 0.0f, 1.0f);
    // Pixel centres at integer coordinates: shift by 63/128 of a pixel right
    // and down (slightly under half, so edges on integers stay off OpenGL's
    // sample points).
    const float k = 63.0f / 64.0f;
    for (int variant = GLShaderProgram::kVariants - 1; variant >= 0; --variant) {
        glUseProgram(mPrograms[variant].Name());
        mPrograms[variant].SetPixelShift(k / float(mWidth), -k / float(mHeight));
    }

    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    mAppliedDepthTest = false;
    mAppliedDepthWrite = true;
    mAppliedDepthFunc = GL_LESS;
    mAppliedBlend = false;
    mAppliedSrcBlend = GL_ONE;
    mAppliedDestBlend = GL_ZERO;
    mAppliedCull = false;
    mAppliedCullFace = GL_BACK;
    ApplyFixedState();
    return glGetError() == GL_NO_ERROR;
}

GLDevice::~GLDevice()
{
    if (mContext && !mContext->IsCurrent())
        mContext->MakeCurrent();
    DeleteRetiredNames();
    if (mStreamArrays[0] != 0 || mStreamArrays[1] != 0 || mStreamArrays[2] != 0 || mStreamArrays[3] != 0)
        glDeleteVertexArrays(4, mStreamArrays);
    if (mStreamBuffer != 0)
        glDeleteBuffers(1, &mStreamBuffer);
    if (mFramebuffer != 0)
        glDeleteFramebuffers(1, &mFramebuffer);
    if (mColourBuffer != 0)
        glDeleteRenderbuffers(1, &mColourBuffer);
    if (mDepthBuffer != 0)
        glDeleteRenderbuffers(1, &mDepthBuffer);
    for (GLShaderProgram& program : mPrograms)
        program.Destroy();
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
    if (width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide || levels > 1 ||
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
        source->Width() != destination->Width() || source->Height() != destination->Height())
        return D3DERR_INVALIDCALL;
    try {
        destination->CopyPixelsFrom(*source);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    mStateChanged = true; // the texture is uploaded again at its next draw
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
    mStateChanged = true;
}

void GLDevice::TextureChangedLocked()
{
    mStateChanged = true;
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
    for (unsigned name : mRetiredVertexArrays) {
        if (name == mAppliedVertexArray)
            mAppliedVertexArray = 0;
        glDeleteVertexArrays(1, &name);
    }
    for (unsigned name : mRetiredBuffers)
        glDeleteBuffers(1, &name);
    for (unsigned name : mRetiredTextures) {
        if (name == mAppliedTexture)
            mAppliedTexture = 0;
        glDeleteTextures(1, &name);
    }
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
        mTransformDirty = mStateChanged = true;
        if (state == D3DTS_VIEW)
            mLightDirty = mStateChanged = true;
    }
    return D3D_OK;
}

HRESULT GLDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    std::lock_guard<std::mutex> hold(mMutex);
    DWORD* target = nullptr;
    bool lightState = false;
    switch (state) {
    case D3DRS_ZENABLE: target = &mZEnable; break;
    case D3DRS_ZWRITEENABLE: target = &mZWrite; break;
    case D3DRS_ZFUNC: target = &mZFunc; break;
    case D3DRS_CULLMODE: target = &mCull; break;
    case D3DRS_ALPHATESTENABLE: target = &mAlphaTest; break;
    case D3DRS_ALPHAREF: target = &mAlphaRef; break;
    case D3DRS_ALPHAFUNC: target = &mAlphaFunc; break;
    case D3DRS_ALPHABLENDENABLE: target = &mBlend; break;
    case D3DRS_SRCBLEND: target = &mSrcBlend; break;
    case D3DRS_DESTBLEND: target = &mDestBlend; break;
    case D3DRS_LIGHTING: target = &mLighting; lightState = true; break;
    case D3DRS_AMBIENT: target = &mAmbient; lightState = true; break;
    default: return D3D_OK; // states this back end does not model
    }
    if (*target != value) {
        *target = value;
        if (lightState)
            mLightDirty = mStateChanged = true;
        else
            mFixedDirty = mStateChanged = true;
    }
    return D3D_OK;
}

HRESULT GLDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (light == nullptr)
        return D3DERR_INVALIDCALL;
    if (light->Type == D3DLIGHT_DIRECTIONAL) {
        const D3DVECTOR& d = light->Direction;
        if (!(d.x * d.x + d.y * d.y + d.z * d.z > 0.0f))
            return D3DERR_INVALIDCALL; // no direction to normalise
    }
    if (index != 0)
        return D3D_OK; // one light only
    mLight = *light;
    mLightValid = true;
    mLightDirty = mStateChanged = true;
    return D3D_OK;
}

HRESULT GLDevice::LightEnable(DWORD index, BOOL enable)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (index == 0 && mLightEnabled != (enable != FALSE)) {
        mLightEnabled = enable != FALSE;
        mLightDirty = mStateChanged = true;
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
        mLightDirty = mStateChanged = true;
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
    mFvf = fvf;
    return D3D_OK;
}

HRESULT GLDevice::SetTexture(DWORD stage, IDirect3DTexture9* texture)
{
    std::lock_guard<std::mutex> hold(mMutex);
    GLTexture* glTexture = nullptr;
    if (texture != nullptr) {
        glTexture = dynamic_cast<GLTexture*>(texture);
        if (glTexture == nullptr || stage != 0)
            return D3DERR_INVALIDCALL; // only stage 0 is modelled
    }
    if (stage == 0 && mTexture != glTexture) {
        mTexture = glTexture;
        mStateChanged = true;
    }
    return D3D_OK;
}

void GLDevice::ComputeTransformRows(float* rows) const
{
    D3DMATRIX worldView, all;
    Multiply(mWorld, mView, worldView);
    Multiply(worldView, mProjection, all);
    std::memcpy(rows, all.m, 16 * sizeof(float));
    // Normals go through the inverse transpose of the 3x3 of world * view:
    // with rows a0, a1, a2 its rows are (a1 x a2, a2 x a0, a0 x a1) / det.
    const float* a0 = worldView.m[0];
    const float* a1 = worldView.m[1];
    const float* a2 = worldView.m[2];
    float* n = rows + 16;
    Cross(a1, a2, n);
    Cross(a2, a0, n + 4);
    Cross(a0, a1, n + 8);
    n[3] = n[7] = n[11] = 0.0f;
    float det = a0[0] * n[0] + a0[1] * n[1] + a0[2] * n[2];
    float scale = (det != 0.0f && std::isfinite(det)) ? 1.0f / det : 0.0f;
    for (int i = 0; i < 12; ++i)
        n[i] *= scale;
}

void GLDevice::ComputeLightRows(float* rows, DWORD fvf) const
{
    bool lightOn = mLightEnabled && mLightValid && mLight.Type == D3DLIGHT_DIRECTIONAL;
    // Direction towards the light in view space: -normalise(direction * view3x3).
    const D3DVECTOR& d = mLight.Direction;
    float l[3];
    for (int j = 0; j < 3; ++j)
        l[j] = d.x * mView.m[0][j] + d.y * mView.m[1][j] + d.z * mView.m[2][j];
    float length = std::sqrt(l[0] * l[0] + l[1] * l[1] + l[2] * l[2]);
    if (!(length > 0.0f) || !std::isfinite(length))
        lightOn = false;
    const float ambient[3] = {float((mAmbient >> 16) & 0xFF) / 255.0f, float((mAmbient >> 8) & 0xFF) / 255.0f,
                              float(mAmbient & 0xFF) / 255.0f};
    const float lightAmbient[3] = {lightOn ? mLight.Ambient.r : 0.0f, lightOn ? mLight.Ambient.g : 0.0f,
                                   lightOn ? mLight.Ambient.b : 0.0f};
    const D3DMATERIAL9& m = mMaterial;
    rows[0] = m.Emissive.r + m.Ambient.r * (ambient[0] + lightAmbient[0]);
    rows[1] = m.Emissive.g + m.Ambient.g * (ambient[1] + lightAmbient[1]);
    rows[2] = m.Emissive.b + m.Ambient.b * (ambient[2] + lightAmbient[2]);
    rows[3] = m.Diffuse.a;
    rows[4] = m.Diffuse.r;
    rows[5] = m.Diffuse.g;
    rows[6] = m.Diffuse.b;
    rows[7] = mLighting != FALSE ? 1.0f : 0.0f;
    for (int j = 0; j < 3; ++j)
        rows[8 + j] = lightOn ? -l[j] / length : 0.0f;
    rows[11] = (fvf & D3DFVF_DIFFUSE) ? 1.0f : 0.0f;
    rows[12] = lightOn ? mLight.Diffuse.r : 0.0f;
    rows[13] = lightOn ? mLight.Diffuse.g : 0.0f;
    rows[14] = lightOn ? mLight.Diffuse.b : 0.0f;
    rows[15] = 0.0f;
}

void GLDevice::ApplyFixedState()
{
    bool depthTest = mZEnable != FALSE;
    bool depthWrite = mZWrite != FALSE;
    GLenum depthFunc = CompareFunction(mZFunc);
    bool blend = mBlend != FALSE;
    GLenum src = BlendFactor(mSrcBlend), dest = BlendFactor(mDestBlend);
    bool cull = mCull != D3DCULL_NONE;
    GLenum cullFace = mCull == D3DCULL_CW ? GL_FRONT : GL_BACK;
    if (depthTest != mAppliedDepthTest) {
        Flush();
        depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
        mAppliedDepthTest = depthTest;
    }
    if (depthWrite != mAppliedDepthWrite) {
        Flush();
        glDepthMask(depthWrite ? GL_TRUE : GL_FALSE);
        mAppliedDepthWrite = depthWrite;
    }
    if (depthFunc != mAppliedDepthFunc) {
        Flush();
        glDepthFunc(depthFunc);
        mAppliedDepthFunc = depthFunc;
    }
    if (blend != mAppliedBlend) {
        Flush();
        blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
        mAppliedBlend = blend;
    }
    if (src != mAppliedSrcBlend || dest != mAppliedDestBlend) {
        Flush();
        glBlendFunc(src, dest);
        mAppliedSrcBlend = src;
        mAppliedDestBlend = dest;
    }
    if (cull != mAppliedCull) {
        Flush();
        cull ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
        mAppliedCull = cull;
    }
    if (cullFace != mAppliedCullFace) {
        Flush();
        glCullFace(cullFace);
        mAppliedCullFace = cullFace;
    }
    mFixedDirty = false;
}

void GLDevice::ApplyState(DWORD fvf)
{
    if (mFixedDirty)
        ApplyFixedState();

    // Texture stage 0: upload on first use, bind when it changed.
    unsigned texture = 0;
    if (mTexture != nullptr) {
        if (mTexture->NeedsUpload()) {
            Flush();
            mTexture->Upload();
            mAppliedTexture = mTexture->Name();
        }
        texture = mTexture->Name();
    }
    if (texture != 0 && texture != mAppliedTexture) {
        Flush();
        glBindTexture(GL_TEXTURE_2D, texture);
        mAppliedTexture = texture;
    }

    bool alphaTest = mAlphaTest != FALSE && mAlphaFunc != D3DCMP_ALWAYS;
    int wanted = (mLighting != FALSE ? GLShaderProgram::kLit : 0) | (texture != 0 ? GLShaderProgram::kTextured : 0) |
                 (alphaTest ? GLShaderProgram::kAlphaTest : 0);
    bool switched = wanted != mAppliedProgram;
    if (switched) {
        Flush();
        glUseProgram(mPrograms[wanted].Name());
        mAppliedProgram = wanted;
    }
    GLShaderProgram& program = mPrograms[wanted];
    if (mTransformDirty) {
        ComputeTransformRows(mTransformRows);
        mTransformDirty = false;
        switched = true;
    }
    if (mLightDirty || (fvf & D3DFVF_DIFFUSE) != (mLightFvf & D3DFVF_DIFFUSE)) {
        ComputeLightRows(mLightRows, fvf);
        mLightDirty = false;
        mLightFvf = fvf;
        switched = true;
    }
    if (switched) {
        if (!program.HasTransformRows(mTransformRows)) {
            Flush();
            program.SetTransformRows(mTransformRows);
        }
        if (!program.HasLightRows(mLightRows)) {
            Flush();
            program.SetLightRows(mLightRows);
        }
    }
    const float fragment[4] = {texture != 0 ? 1.0f : 0.0f, alphaTest ? float(mAlphaFunc) : 0.0f,
                               float(mAlphaRef & 0xFF), 0.0f};
    if (!program.HasFragmentRow(fragment)) {
        Flush();
        program.SetFragmentRow(fragment);
    }
}

// ---- Frames and draws -----------------------------------------------------

void GLDevice::Flush()
{
    if (mBatchFirsts.empty())
        return;
    if (mBatchFromMemory) {
        glBindBuffer(GL_ARRAY_BUFFER, mStreamBuffer);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(mMemoryVertices.size()), nullptr, GL_STREAM_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(mMemoryVertices.size()), mMemoryVertices.data());
        mMemoryVertices.clear();
    }
    if (mBatchIndexed) {
        if (mBatchFirsts.size() == 1) {
            glDrawElements(mBatchMode, mBatchCounts[0], GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(size_t(mBatchFirsts[0]) * 4));
        } else {
            mBatchOffsets.clear();
            for (int first : mBatchFirsts)
                mBatchOffsets.push_back(reinterpret_cast<const void*>(size_t(first) * 4));
            glMultiDrawElements(mBatchMode, mBatchCounts.data(), GL_UNSIGNED_INT, mBatchOffsets.data(),
                                GLsizei(mBatchFirsts.size()));
        }
    } else if (mBatchFirsts.size() == 1) {
        glDrawArrays(mBatchMode, mBatchFirsts[0], mBatchCounts[0]);
    } else {
        glMultiDrawArrays(mBatchMode, mBatchFirsts.data(), mBatchCounts.data(), GLsizei(mBatchFirsts.size()));
    }
    mBatchFirsts.clear();
    mBatchCounts.clear();
}

void GLDevice::AddDraw(unsigned mode, unsigned vertexArray, bool fromMemory, int firstVertex, int vertexCount,
                       bool indexed)
{
    if (!mBatchFirsts.empty() && (mode != mBatchMode || vertexArray != mBatchVertexArray ||
                                  fromMemory != mBatchFromMemory || indexed != mBatchIndexed))
        Flush();
    if (vertexArray != mAppliedVertexArray) {
        Flush();
        glBindVertexArray(vertexArray);
        mAppliedVertexArray = vertexArray;
    }
    // Lists that continue the previous range extend it.
    bool list = mode == GL_TRIANGLES || mode == GL_LINES || mode == GL_POINTS;
    if (list && !mBatchFirsts.empty() && mBatchFirsts.back() + mBatchCounts.back() == firstVertex) {
        mBatchCounts.back() += vertexCount;
        return;
    }
    mBatchMode = mode;
    mBatchVertexArray = vertexArray;
    mBatchFromMemory = fromMemory;
    mBatchIndexed = indexed;
    mBatchFirsts.push_back(firstVertex);
    mBatchCounts.push_back(vertexCount);
}

HRESULT GLDevice::DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount)
{
    std::lock_guard<std::mutex> hold(mMutex);
    GLenum mode;
    uint64_t vertices;
    if (!UsableHere() || !mInScene || !Primitive(primitiveType, primitiveCount, mode, vertices))
        return D3DERR_INVALIDCALL;
    if (mStream == nullptr || mStream->IsLocked() || !VertexFormatSupported(mFvf) ||
        mStreamStride < VertexFormatSize(mFvf) || (mTexture != nullptr && !mTexture->Drawable()))
        return D3DERR_INVALIDCALL;
    if (vertices == 0)
        return D3D_OK;
    // Every vertex read must lie inside the buffer.
    uint64_t end = uint64_t(mStreamOffset) + (uint64_t(startVertex) + vertices - 1) * mStreamStride +
                   VertexFormatSize(mFvf);
    if (end > mStream->Length() || uint64_t(startVertex) + vertices > 0x7FFFFFFFu)
        return D3DERR_INVALIDCALL;

    if (mStateChanged || mFvf != mAppliedStateFvf) {
        ApplyState(mFvf);
        mStateChanged = false;
        mAppliedStateFvf = mFvf;
    }
    if (mStream->NeedsUpload()) {
        Flush();
        mStream->Upload();
    }
    if (mode == GL_TRIANGLE_FAN) {
        // Drawn as indexed triangles from the buffer's fan lists, so that a
        // run of fans becomes one index range of one draw.
        if (!mStream->ListsMatch(mFvf, mStreamStride, mStreamOffset)) {
            Flush();
            mStream->ResetLists(mFvf, mStreamStride, mStreamOffset);
        }
        uint32_t listFirst;
        if (!mStream->FindFan(startVertex, UINT(vertices), listFirst)) {
            Flush();
            listFirst = mStream->AddFan(startVertex, UINT(vertices));
            mAppliedVertexArray = mStream->ListVertexArray(); // AddFan leaves it bound
        }
        unsigned vertexArray = mStream->ListVertexArray();
        if (uint64_t(listFirst) + 3 * (vertices - 2) > 0x7FFFFFFFu)
            return D3DERR_INVALIDCALL;
        AddDraw(GL_TRIANGLES, vertexArray, false, int(listFirst), int(3 * (vertices - 2)), true);
        return D3D_OK;
    }
    if (!mStream->VertexArrayMatches(mFvf, mStreamStride, mStreamOffset)) {
        Flush();
        mAppliedVertexArray = mStream->VertexArrayFor(mFvf, mStreamStride, mStreamOffset);
    }
    unsigned vertexArray = mStream->VertexArrayFor(mFvf, mStreamStride, mStreamOffset);
    AddDraw(mode, vertexArray, false, int(startVertex), int(vertices), false);
    return D3D_OK;
}

HRESULT GLDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* vertexData,
                                  UINT vertexStride)
{
    std::lock_guard<std::mutex> hold(mMutex);
    GLenum mode;
    uint64_t vertices;
    if (!UsableHere() || !mInScene || !Primitive(primitiveType, primitiveCount, mode, vertices) ||
        vertexData == nullptr || !VertexFormatSupported(mFvf) || vertexStride < VertexFormatSize(mFvf) ||
        (mTexture != nullptr && !mTexture->Drawable()))
        return D3DERR_INVALIDCALL;
    if (vertices == 0)
        return D3D_OK;
    uint64_t bytes = vertices * vertexStride;
    if (bytes > 0x7FFFFFFFu)
        return D3DERR_INVALIDCALL;

    if (mStateChanged || mFvf != mAppliedStateFvf) {
        ApplyState(mFvf);
        mStateChanged = false;
        mAppliedStateFvf = mFvf;
    }
    // One vertex array per memory layout, kept in a small table.
    int slot = -1;
    for (int i = 0; i < 4; ++i)
        if (mStreamArrays[i] != 0 && mStreamArrayFvf[i] == mFvf && mStreamArrayStride[i] == vertexStride)
            slot = i;
    if (slot < 0) {
        Flush();
        slot = 0;
        for (int i = 0; i < 4; ++i)
            if (mStreamArrays[i] == 0) {
                slot = i;
                break;
            }
        if (slot == 0 && mStreamArrays[0] != 0)
            slot = 3; // all in use: re-point the last one
        if (mStreamArrays[slot] == 0)
            glGenVertexArrays(1, &mStreamArrays[slot]);
        glBindVertexArray(mStreamArrays[slot]);
        mAppliedVertexArray = mStreamArrays[slot];
        glBindBuffer(GL_ARRAY_BUFFER, mStreamBuffer);
        SetVertexLayout(mFvf, vertexStride, 0);
        mStreamArrayFvf[slot] = mFvf;
        mStreamArrayStride[slot] = vertexStride;
    }
    unsigned vertexArray = mStreamArrays[slot];
    if (!mBatchFirsts.empty() && (!mBatchFromMemory || mMemoryStride != vertexStride || mode != mBatchMode ||
                                  vertexArray != mBatchVertexArray))
        Flush();
    if (vertexArray != mAppliedVertexArray) {
        Flush();
        glBindVertexArray(vertexArray);
        mAppliedVertexArray = vertexArray;
    }
    mMemoryStride = vertexStride;
    AddDraw(mode, vertexArray, true, int(mMemoryVertices.size() / vertexStride), int(vertices), false);
    const auto* data = static_cast<const uint8_t*>(vertexData);
    mMemoryVertices.insert(mMemoryVertices.end(), data, data + bytes);
    return D3D_OK;
}

HRESULT GLDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD /*stencil*/)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (!UsableHere() || (count != 0 && rects != nullptr) ||
        (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) != 0)
        return D3DERR_INVALIDCALL;
    Flush();
    GLbitfield bits = 0;
    if (flags & D3DCLEAR_TARGET) {
        glClearColor(float((colour >> 16) & 0xFF) / 255.0f, float((colour >> 8) & 0xFF) / 255.0f,
                     float(colour & 0xFF) / 255.0f, float(colour >> 24) / 255.0f);
        bits |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        glClearDepth(Saturate(z));
        bits |= GL_DEPTH_BUFFER_BIT;
        if (!mAppliedDepthWrite)
            glDepthMask(GL_TRUE);
    }
    if (bits != 0)
        glClear(bits);
    if ((flags & D3DCLEAR_ZBUFFER) && !mAppliedDepthWrite)
        glDepthMask(GL_FALSE);
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
    Flush();
    mInScene = false;
    return D3D_OK;
}

void GLDevice::PresentToWindow()
{
    int drawableWidth = 0, drawableHeight = 0;
    mContext->GetDrawableSize(drawableWidth, drawableHeight);
    LetterboxRect box = ComputeLetterbox(int(mWidth), int(mHeight), drawableWidth, drawableHeight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, mFramebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, drawableWidth, drawableHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (box.width > 0 && box.height > 0) {
        bool sameSize = box.width == int(mWidth) && box.height == int(mHeight);
        glBlitFramebuffer(0, 0, GLint(mWidth), GLint(mHeight), box.x, box.y, box.x + box.width, box.y + box.height,
                          GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    }
    mContext->Swap();
    glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
    glViewport(0, 0, GLsizei(mWidth), GLsizei(mHeight));
}

HRESULT GLDevice::Present(const RECT* /*sourceRect*/, const RECT* /*destRect*/, HWND /*destWindowOverride*/,
                          const void* /*dirtyRegion*/)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (!UsableHere())
        return D3DERR_INVALIDCALL;
    Flush();
    // Never lost: a window without the focus is still drawn to.
    if (mContext->HasWindow())
        PresentToWindow();
    else
        glFlush();
    DeleteRetiredNames();
    return D3D_OK;
}

HRESULT GLDevice::ReadBackBuffer(std::vector<uint32_t>& pixels, UINT& width, UINT& height)
{
    std::lock_guard<std::mutex> hold(mMutex);
    if (!UsableHere())
        return D3DERR_INVALIDCALL;
    Flush();
    try {
        std::vector<uint32_t> bottomUp(size_t(mWidth) * mHeight);
        pixels.resize(bottomUp.size());
        glBindFramebuffer(GL_READ_FRAMEBUFFER, mFramebuffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, GLsizei(mWidth), GLsizei(mHeight), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                     bottomUp.data());
        const uint32_t forceAlpha = mFormat == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u;
        for (UINT y = 0; y < mHeight; ++y) {
            const uint32_t* from = bottomUp.data() + size_t(mHeight - 1 - y) * mWidth;
            uint32_t* to = pixels.data() + size_t(y) * mWidth;
            for (UINT x = 0; x < mWidth; ++x)
                to[x] = from[x] | forceAlpha;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    width = mWidth;
    height = mHeight;
    return D3D_OK;
}

} // namespace OrvelGL
