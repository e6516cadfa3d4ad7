#pragma once
// A vertex buffer of the OpenGL device. Internal to the OpenGL back end.
//
// The contents live in memory owned by the buffer; Lock gives a pointer into
// it and Unlock marks it for upload. The OpenGL buffer and its vertex array
// are created and filled on the device's thread at the next draw that uses
// them. Every operation takes the device's lock, so a buffer may be made,
// locked, filled and released on any thread. The buffer holds a reference to
// its device.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/D3D9.h"

namespace OrvelGL {

class GLDevice;

class GLVertexBuffer : public IDirect3DVertexBuffer9 {
public:
    GLVertexBuffer(GLDevice* device, UINT length, DWORD fvf);

    ULONG AddRef() override;
    ULONG Release() override;
    // offsetToLock / sizeToLock in bytes; size 0 means to the end. One lock at a time.
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    // The following run with the device's lock held, on the device's thread.
    UINT Length() const { return UINT(mData.size()); }
    bool IsLocked() const { return mLocked; }
    bool NeedsUpload() const { return mDirty; }
    // Creates or refills the OpenGL buffer (binds GL_ARRAY_BUFFER).
    void Upload();
    // Whether the buffer's vertex array already reads it with this layout.
    bool VertexArrayMatches(DWORD fvf, UINT stride, UINT offset) const;
    // The vertex array reading this buffer with the given layout (and the
    // device's instance transforms for instanced draws); when it has to be
    // made or re-pointed it is left bound. Call after Upload.
    unsigned VertexArrayFor(DWORD fvf, UINT stride, UINT offset);
    // Hands the OpenGL names to the device for deletion and forgets them.
    void RetireNames();

    // Fans drawn from this buffer, as triangle indices (v0 vi vi+1) in an
    // element buffer, appended in the order the fans are first drawn, so that
    // the faces of a material group, drawn in the same order every frame,
    // form one index range that one draw covers. Laid out for one (format,
    // stride, offset); the lists are dropped when that or the contents change.
    bool ListsMatch(DWORD fvf, UINT stride, UINT offset) const;
    void ResetLists(DWORD fvf, UINT stride, UINT offset);
    // First index of the fan's triangles in the element buffer, false when
    // the fan has not been laid out yet.
    bool FindFan(UINT start, UINT count, uint32_t& listFirst);
    // Lays the fan out and uploads it; returns its first index. Leaves the
    // list vertex array bound.
    uint32_t AddFan(UINT start, UINT count);
    // The vertex array reading this buffer with the element buffer of the
    // lists (and the device's instance transforms); made (and left bound) on
    // the first call after a layout change.
    unsigned ListVertexArray();

private:
    ~GLVertexBuffer() override;

    GLDevice* mDevice;
    uint32_t mRefs = 1; // guarded by the device's lock
    std::vector<uint8_t> mData;
    bool mLocked = false;
    bool mDirty = true;
    unsigned mBuffer = 0;
    unsigned mVertexArray = 0;
    DWORD mArrayFvf = 0;
    UINT mArrayStride = 0;
    UINT mArrayOffset = 0;

    struct Fan {
        UINT start, count;
        uint32_t first; // first index in the element buffer
    };
    std::vector<Fan> mFanOrder;                   // in the order first drawn
    std::unordered_map<uint64_t, size_t> mFans;   // (start << 32 | count) -> position in mFanOrder
    size_t mNextFan = 0;                          // the fan after the last one found
    std::vector<uint32_t> mListData; // triangle indices into this buffer
    size_t mListUploaded = 0; // indices already in the element buffer
    size_t mListCapacity = 0; // bytes of the element buffer
    unsigned mListBuffer = 0;
    unsigned mListArray = 0;
    bool mListArrayLaidOut = false;
    DWORD mListFvf = 0;
    UINT mListStride = 0;
    UINT mListOffset = 0;
};

} // namespace OrvelGL
