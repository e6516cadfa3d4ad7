#pragma once
// The shared state of one recording back end: the log of calls, per
// operation counters, armed failures and the registry of live objects.
// Every object of the back end holds a share of it, so it lives until the
// provider and the last object are gone.
//
// Thread-safe: every back-end operation holds Mutex() while it runs. The
// readers (Calls, CallsOf, ...) are for tests after the calls are made.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/D3D9.h"
#include "platform/recording/RecordedCall.h"

class RecordingDevice;
class RecordingTexture;
class RecordingVertexBuffer;

class RecordingLog {
public:
    enum class Kind { Direct3D, Device, VertexBuffer, Texture };

    RecordingLog();
    RecordingLog(const RecordingLog&) = delete;
    RecordingLog& operator=(const RecordingLog&) = delete;

    // With recording off, calls are only counted (and failures still fire):
    // the back end then allocates nothing while drawing. On by default.
    void SetRecording(bool on);
    bool Recording() const;
    // Drops the records; counters, failures and objects stay.
    void Clear();

    // Makes the n-th call of op from now on (1: the next one) fail with
    // result, with no effect. Several may be armed. Raises
    // std::invalid_argument for an unknown name or n < 1.
    void FailCall(const char* op, int n, HRESULT result);
    // Row pitch of textures created from now on: width * 4 + padding bytes.
    void SetTexturePitchPadding(int padding);
    int TexturePitchPadding() const { return mPitchPadding; }

    // Records stay put until the next recorded call or Clear().
    const std::vector<RecordedCall>& Calls() const { return mCalls; }
    std::vector<const RecordedCall*> CallsOf(const char* op) const;
    // The names of the recorded calls in order, leaving out AddRef and Release.
    std::vector<std::string> Names() const;
    // Calls of op since the log was made, recorded or not.
    int Count(const char* op) const;

    int LiveObjects() const { return static_cast<int>(mObjects.size()); }
    int LiveObjects(Kind kind) const;
    // Live objects by id; null when there is none of that kind.
    RecordingDevice* Device(uint32_t id) const;
    RecordingVertexBuffer* VertexBuffer(uint32_t id) const;
    RecordingTexture* Texture(uint32_t id) const;
    // The device made last, while it lives.
    RecordingDevice* LastDevice() const { return Device(mLastDevice); }

    // For the back end's objects, with Mutex() held.
    std::mutex& Mutex() const { return mMutex; }
    // Counts a call of op; returns the armed failure's result, or D3D_OK.
    HRESULT Enter(RecOp op);
    // A new record, or null while recording is off.
    RecordedCall* Add(RecOp op, uint32_t object, HRESULT result);
    uint32_t Register(IUnknownLike* object, Kind kind);
    void Unregister(uint32_t id);

private:
    struct Armed {
        RecOp op;
        int remaining;
        HRESULT result;
    };
    struct Entry {
        IUnknownLike* object;
        Kind kind;
    };

    IUnknownLike* Find(uint32_t id, Kind kind) const;

    mutable std::mutex mMutex;
    bool mRecording;
    int mPitchPadding;
    std::vector<RecordedCall> mCalls;
    std::vector<Armed> mArmed;
    int mCounts[static_cast<int>(RecOp::Count)];
    std::unordered_map<uint32_t, Entry> mObjects;
    uint32_t mNextId;
    uint32_t mLastDevice;
};
