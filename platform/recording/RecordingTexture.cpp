#include "platform/recording/RecordingTexture.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

RecordingTexture::RecordingTexture(std::shared_ptr<RecordingLog> log, UINT width, UINT height, D3DFORMAT format,
                                   D3DPOOL pool, int pitch)
    : RecordingObject(std::move(log), RecordingLog::Kind::Texture),
      mBytes(static_cast<size_t>(std::max<int64_t>(pitch, int64_t{width} * 4)) * height, 0xCD), mWidth(width), mHeight(height), mPitch(pitch),
      mFormat(format), mPool(pool), mLocked(false)
{
}

HRESULT RecordingTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::LockRect);
    if (lockedRect)
        *lockedRect = D3DLOCKED_RECT{0, nullptr};
    // Default-pool textures live on the device; they are filled by UpdateTexture.
    if (SUCCEEDED(result) && (level != 0 || !lockedRect || mLocked || mPool == D3DPOOL_DEFAULT))
        result = D3DERR_INVALIDCALL;
    if (SUCCEEDED(result) && rect &&
        (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
         int64_t{rect->right} > int64_t{mWidth} || int64_t{rect->bottom} > int64_t{mHeight}))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::LockRect, mId, result))
        call->args = {level, rect != nullptr, flags};
    if (FAILED(result))
        return result;
    mLocked = true;
    lockedRect->Pitch = mPitch;
    lockedRect->pBits = mBytes.data() + (rect ? static_cast<size_t>(rect->top) * static_cast<size_t>(mPitch) +
                                                    static_cast<size_t>(rect->left) * 4u
                                              : 0u);
    return result;
}

HRESULT RecordingTexture::UnlockRect(UINT level)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::UnlockRect);
    if (SUCCEEDED(result) && (level != 0 || !mLocked))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::UnlockRect, mId, result))
        call->args = {level};
    if (SUCCEEDED(result))
        mLocked = false;
    return result;
}

uint32_t RecordingTexture::Texel(UINT x, UINT y) const
{
    if (x >= mWidth || y >= mHeight)
        throw std::out_of_range("RecordingTexture::Texel");
    uint32_t value;
    std::memcpy(&value, mBytes.data() + static_cast<size_t>(y) * mPitch + x * 4u, 4);
    return value;
}

void RecordingTexture::CopyFrom(const RecordingTexture& source)
{
    for (UINT y = 0; y < mHeight; ++y)
        std::memcpy(mBytes.data() + static_cast<size_t>(y) * mPitch,
                    source.mBytes.data() + static_cast<size_t>(y) * source.mPitch, mWidth * 4u);
}
