#include "platform/recording/RecordingLog.h"

#include <cstring>
#include <stdexcept>

#include "platform/recording/RecordingDevice.h"
#include "platform/recording/RecordingTexture.h"
#include "platform/recording/RecordingVertexBuffer.h"

namespace {

const char* const kNames[] = {
    "LoadLibrary", "HasDirect3DCreate9", "Direct3DCreate9", "FreeLibrary", "CreateDevice", "AddRef", "Release",
    "Clear", "BeginScene", "EndScene", "Present", "CreateVertexBuffer", "CreateTexture", "UpdateTexture",
    "SetTransform", "SetRenderState", "SetLight", "LightEnable", "SetMaterial", "SetStreamSource", "SetFVF",
    "SetTexture", "DrawPrimitive", "DrawPrimitiveUP", "Lock", "Unlock", "LockRect", "UnlockRect",
};
static_assert(sizeof(kNames) / sizeof(kNames[0]) == static_cast<size_t>(RecOp::Count), "one name per operation");

RecOp OpOrThrow(const char* name)
{
    RecOp op;
    if (!RecOpFromName(name, &op))
        throw std::invalid_argument(std::string("unknown recorded operation: ") + (name ? name : "(null)"));
    return op;
}

} // namespace

const char* RecOpName(RecOp op)
{
    const int i = static_cast<int>(op);
    return i >= 0 && i < static_cast<int>(RecOp::Count) ? kNames[i] : "?";
}

bool RecOpFromName(const char* name, RecOp* op)
{
    if (!name)
        return false;
    for (int i = 0; i < static_cast<int>(RecOp::Count); ++i) {
        if (std::strcmp(kNames[i], name) == 0) {
            *op = static_cast<RecOp>(i);
            return true;
        }
    }
    return false;
}

RecordingLog::RecordingLog() : mRecording(true), mPitchPadding(0), mCounts{}, mNextId(1), mLastDevice(0) {}

void RecordingLog::SetRecording(bool on)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRecording = on;
}

bool RecordingLog::Recording() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRecording;
}

void RecordingLog::Clear()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mCalls.clear();
}

void RecordingLog::FailCall(const char* op, int n, HRESULT result)
{
    const RecOp which = OpOrThrow(op);
    if (n < 1)
        throw std::invalid_argument("FailCall: n must be 1 or more");
    std::lock_guard<std::mutex> lock(mMutex);
    mArmed.push_back(Armed{which, n, result});
}

void RecordingLog::SetTexturePitchPadding(int padding)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mPitchPadding = padding;
}

std::vector<const RecordedCall*> RecordingLog::CallsOf(const char* op) const
{
    const RecOp which = OpOrThrow(op);
    std::lock_guard<std::mutex> lock(mMutex);
    std::vector<const RecordedCall*> out;
    for (const RecordedCall& call : mCalls)
        if (call.op == which)
            out.push_back(&call);
    return out;
}

std::vector<std::string> RecordingLog::Names() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    std::vector<std::string> out;
    for (const RecordedCall& call : mCalls)
        if (call.op != RecOp::AddRef && call.op != RecOp::Release)
            out.push_back(call.Name());
    return out;
}

int RecordingLog::Count(const char* op) const
{
    const RecOp which = OpOrThrow(op);
    std::lock_guard<std::mutex> lock(mMutex);
    return mCounts[static_cast<int>(which)];
}

int RecordingLog::LiveObjects(Kind kind) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    int n = 0;
    for (const auto& entry : mObjects)
        if (entry.second.kind == kind)
            ++n;
    return n;
}

HRESULT RecordingLog::Enter(RecOp op)
{
    ++mCounts[static_cast<int>(op)];
    for (size_t i = 0; i < mArmed.size(); ++i) {
        if (mArmed[i].op == op && --mArmed[i].remaining == 0) {
            const HRESULT result = mArmed[i].result;
            mArmed.erase(mArmed.begin() + static_cast<long>(i));
            return result;
        }
    }
    return D3D_OK;
}

RecordedCall* RecordingLog::Add(RecOp op, uint32_t object, HRESULT result)
{
    if (!mRecording)
        return nullptr;
    mCalls.emplace_back();
    RecordedCall& call = mCalls.back();
    call.op = op;
    call.object = object;
    call.result = result;
    return &call;
}

uint32_t RecordingLog::Register(IUnknownLike* object, Kind kind)
{
    const uint32_t id = mNextId++;
    mObjects[id] = Entry{object, kind};
    if (kind == Kind::Device)
        mLastDevice = id;
    return id;
}

void RecordingLog::Unregister(uint32_t id)
{
    mObjects.erase(id);
}

IUnknownLike* RecordingLog::Find(uint32_t id, Kind kind) const
{
    auto it = mObjects.find(id);
    return it != mObjects.end() && it->second.kind == kind ? it->second.object : nullptr;
}

RecordingDevice* RecordingLog::Device(uint32_t id) const
{
    return static_cast<RecordingDevice*>(static_cast<IDirect3DDevice9*>(Find(id, Kind::Device)));
}

RecordingVertexBuffer* RecordingLog::VertexBuffer(uint32_t id) const
{
    return static_cast<RecordingVertexBuffer*>(static_cast<IDirect3DVertexBuffer9*>(Find(id, Kind::VertexBuffer)));
}

RecordingTexture* RecordingLog::Texture(uint32_t id) const
{
    return static_cast<RecordingTexture*>(static_cast<IDirect3DTexture9*>(Find(id, Kind::Texture)));
}
