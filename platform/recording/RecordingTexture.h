#pragma once
// A one-level 32-bit texture of the recording back end: keeps its texels
// with a row pitch of width * 4 plus the log's padding. System-memory and
// managed textures can be locked, whole or a rectangle inside (as on the
// real device, a default-pool texture is filled through UpdateTexture).

#include <cstdint>
#include <vector>

#include "platform/recording/RecordingObject.h"

class RecordingTexture : public RecordingObject<IDirect3DTexture9> {
public:
    RecordingTexture(std::shared_ptr<RecordingLog> log, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                     int pitch);

    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    UINT Width() const { return mWidth; }
    UINT Height() const { return mHeight; }
    int Pitch() const { return mPitch; }
    D3DFORMAT Format() const { return mFormat; }
    D3DPOOL Pool() const { return mPool; }
    bool Locked() const { return mLocked; }
    // The texel at column x, row y (row 0 at the top), 0xAARRGGBB.
    uint32_t Texel(UINT x, UINT y) const;

    // For UpdateTexture: copies the texels of source, which has this size.
    void CopyFrom(const RecordingTexture& source);

private:
    std::vector<uint8_t> mBytes;
    UINT mWidth;
    UINT mHeight;
    int mPitch;
    D3DFORMAT mFormat;
    D3DPOOL mPool;
    bool mLocked;
};
