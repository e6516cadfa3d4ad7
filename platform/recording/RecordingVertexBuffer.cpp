#include "platform/recording/RecordingVertexBuffer.h"

RecordingVertexBuffer::RecordingVertexBuffer(std::shared_ptr<RecordingLog> log, UINT length, DWORD fvf, D3DPOOL pool)
    : RecordingObject(std::move(log), RecordingLog::Kind::VertexBuffer), mBytes(length, 0), mFormat(fvf), mPool(pool),
      mLocked(false)
{
}

HRESULT RecordingVertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::Lock);
    const uint64_t end = static_cast<uint64_t>(offsetToLock) + sizeToLock;
    if (data)
        *data = nullptr;
    if (SUCCEEDED(result) && (!data || mLocked || offsetToLock > mBytes.size() || end > mBytes.size()))
        result = D3DERR_INVALIDCALL;
    if (RecordedCall* call = mLog->Add(RecOp::Lock, mId, result))
        call->args = {offsetToLock, sizeToLock, flags};
    if (FAILED(result))
        return result;
    mLocked = true;
    *data = mBytes.data() + offsetToLock;
    return result;
}

HRESULT RecordingVertexBuffer::Unlock()
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::Unlock);
    if (SUCCEEDED(result) && !mLocked)
        result = D3DERR_INVALIDCALL;
    mLog->Add(RecOp::Unlock, mId, result);
    if (SUCCEEDED(result))
        mLocked = false;
    return result;
}
