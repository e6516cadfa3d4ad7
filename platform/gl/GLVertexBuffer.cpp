#include "platform/gl/GLVertexBuffer.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include "platform/gl/GLDevice.h"
#include "platform/gl/GLVertexLayout.h"

namespace OrvelGL {

GLVertexBuffer::GLVertexBuffer(GLDevice* device, UINT length, DWORD /*fvf*/) : mDevice(device), mData(length, 0)
{
    mDevice->AddRef();
}

GLVertexBuffer::~GLVertexBuffer() {}

ULONG GLVertexBuffer::AddRef()
{
    std::lock_guard<std::mutex> hold(mDevice->Mutex());
    return ++mRefs;
}

ULONG GLVertexBuffer::Release()
{
    GLDevice* device = mDevice;
    ULONG left;
    {
        std::lock_guard<std::mutex> hold(device->Mutex());
        left = --mRefs;
        if (left == 0) {
            device->ForgetVertexBufferLocked(this);
            RetireNames();
        }
    }
    if (left == 0) {
        delete this;
        device->Release();
    }
    return left;
}

HRESULT GLVertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD /*flags*/)
{
    std::lock_guard<std::mutex> hold(mDevice->Mutex());
    if (data == nullptr)
        return D3DERR_INVALIDCALL;
    *data = nullptr;
    if (mLocked || offsetToLock > mData.size() || uint64_t(offsetToLock) + sizeToLock > mData.size())
        return D3DERR_INVALIDCALL;
    mLocked = true;
    *data = mData.data() + offsetToLock;
    return D3D_OK;
}

HRESULT GLVertexBuffer::Unlock()
{
    std::lock_guard<std::mutex> hold(mDevice->Mutex());
    if (!mLocked)
        return D3DERR_INVALIDCALL;
    mLocked = false;
    mDirty = true;
    return D3D_OK;
}

void GLVertexBuffer::Upload()
{
    if (mBuffer == 0)
        glGenBuffers(1, &mBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, mBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(mData.size()), mData.data(), GL_STATIC_DRAW);
    mDirty = false;
}

bool GLVertexBuffer::VertexArrayMatches(DWORD fvf, UINT stride, UINT offset) const
{
    return mVertexArray != 0 && mArrayFvf == fvf && mArrayStride == stride && mArrayOffset == offset;
}

unsigned GLVertexBuffer::VertexArrayFor(DWORD fvf, UINT stride, UINT offset)
{
    if (VertexArrayMatches(fvf, stride, offset))
        return mVertexArray;
    if (mVertexArray == 0)
        glGenVertexArrays(1, &mVertexArray);
    glBindVertexArray(mVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, mBuffer);
    SetVertexLayout(fvf, stride, offset);
    mArrayFvf = fvf;
    mArrayStride = stride;
    mArrayOffset = offset;
    return mVertexArray;
}

void GLVertexBuffer::RetireNames()
{
    if (mVertexArray != 0)
        mDevice->RetireVertexArrayLocked(mVertexArray);
    if (mBuffer != 0)
        mDevice->RetireBufferLocked(mBuffer);
    mVertexArray = 0;
    mBuffer = 0;
}

} // namespace OrvelGL
