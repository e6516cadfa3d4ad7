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
    ResetLists(mListFvf, mListStride, mListOffset);
}

bool GLVertexBuffer::ListsMatch(DWORD fvf, UINT stride, UINT offset) const
{
    return mListFvf == fvf && mListStride == stride && mListOffset == offset;
}

void GLVertexBuffer::ResetLists(DWORD fvf, UINT stride, UINT offset)
{
    mFans.clear();
    mFanOrder.clear();
    mNextFan = 0;
    mListData.clear();
    mListUploaded = 0;
    if (!ListsMatch(fvf, stride, offset))
        mListArrayLaidOut = false;
    mListFvf = fvf;
    mListStride = stride;
    mListOffset = offset;
}

bool GLVertexBuffer::FindFan(UINT start, UINT count, uint32_t& listFirst)
{
    // Models draw their faces in the same order every frame: try the next one first.
    size_t position;
    if (mNextFan < mFanOrder.size() && mFanOrder[mNextFan].start == start && mFanOrder[mNextFan].count == count) {
        position = mNextFan;
    } else {
        auto found = mFans.find(uint64_t(start) << 32 | count);
        if (found == mFans.end())
            return false;
        position = found->second;
    }
    listFirst = mFanOrder[position].first;
    mNextFan = position + 1;
    return true;
}

uint32_t GLVertexBuffer::AddFan(UINT start, UINT count)
{
    // The caller has checked that the fan lies inside the buffer.
    uint32_t listFirst = uint32_t(mListData.size());
    for (UINT v = 1; v + 1 < count; ++v) {
        mListData.push_back(start);
        mListData.push_back(start + v);
        mListData.push_back(start + v + 1);
    }
    mFans.emplace(uint64_t(start) << 32 | count, mFanOrder.size());
    mFanOrder.push_back(Fan{start, count, listFirst});
    mNextFan = mFanOrder.size();

    // The element buffer belongs to the list vertex array: bind that first.
    glBindVertexArray(ListVertexArray());
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mListBuffer);
    size_t bytes = mListData.size() * 4;
    if (bytes > mListCapacity) {
        // Grow geometrically so that laying out a model face by face stays linear.
        size_t capacity = mListCapacity * 2;
        if (capacity < bytes)
            capacity = bytes;
        if (capacity < 16 * 1024)
            capacity = 16 * 1024;
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(capacity), nullptr, GL_STATIC_DRAW);
        mListCapacity = capacity;
        mListUploaded = 0;
    }
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, GLintptr(mListUploaded * 4), GLsizeiptr(bytes - mListUploaded * 4),
                    mListData.data() + mListUploaded);
    mListUploaded = mListData.size();
    return listFirst;
}

unsigned GLVertexBuffer::ListVertexArray()
{
    if (mListArrayLaidOut)
        return mListArray;
    if (mListArray == 0)
        glGenVertexArrays(1, &mListArray);
    if (mListBuffer == 0)
        glGenBuffers(1, &mListBuffer);
    glBindVertexArray(mListArray);
    glBindBuffer(GL_ARRAY_BUFFER, mBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mListBuffer);
    SetVertexLayout(mListFvf, mListStride, mListOffset);
    SetInstanceLayout(mDevice->InstanceBufferLocked());
    mListArrayLaidOut = true;
    return mListArray;
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
    SetInstanceLayout(mDevice->InstanceBufferLocked());
    mArrayFvf = fvf;
    mArrayStride = stride;
    mArrayOffset = offset;
    return mVertexArray;
}

void GLVertexBuffer::RetireNames()
{
    for (unsigned* array : {&mVertexArray, &mListArray}) {
        if (*array != 0)
            mDevice->RetireVertexArrayLocked(*array);
        *array = 0;
    }
    for (unsigned* buffer : {&mBuffer, &mListBuffer}) {
        if (*buffer != 0)
            mDevice->RetireBufferLocked(*buffer);
        *buffer = 0;
    }
}

} // namespace OrvelGL
