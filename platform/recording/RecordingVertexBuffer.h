#pragma once
// A vertex buffer of the recording back end: keeps its bytes, so tests can
// read what was written. Lock takes the whole buffer for size 0 and refuses
// a range outside the buffer or a second lock (D3DERR_INVALIDCALL).

#include <cstdint>
#include <vector>

#include "platform/recording/RecordingObject.h"

class RecordingVertexBuffer : public RecordingObject<IDirect3DVertexBuffer9> {
public:
    RecordingVertexBuffer(std::shared_ptr<RecordingLog> log, UINT length, DWORD fvf, D3DPOOL pool);

    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    const std::vector<uint8_t>& Bytes() const { return mBytes; }
    DWORD Format() const { return mFormat; }
    D3DPOOL Pool() const { return mPool; }
    bool Locked() const { return mLocked; }

private:
    std::vector<uint8_t> mBytes;
    DWORD mFormat;
    D3DPOOL mPool;
    bool mLocked;
};
