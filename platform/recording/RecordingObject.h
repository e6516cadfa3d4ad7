#pragma once
// Reference counting shared by the objects of the recording back end:
// created with one reference, Release at zero unregisters and deletes.
// AddRef and Release are recorded with the references left.

#include <memory>
#include <mutex>

#include "platform/recording/RecordingLog.h"

template <class Interface>
class RecordingObject : public Interface {
public:
    ULONG AddRef() override
    {
        std::lock_guard<std::mutex> lock(mLog->Mutex());
        mLog->Enter(RecOp::AddRef);
        ++mReferences;
        if (RecordedCall* call = mLog->Add(RecOp::AddRef, mId, D3D_OK))
            call->args = {static_cast<int64_t>(mReferences)};
        return mReferences;
    }

    ULONG Release() override
    {
        std::shared_ptr<RecordingLog> log = mLog; // this may be deleted below
        ULONG left;
        {
            std::lock_guard<std::mutex> lock(log->Mutex());
            log->Enter(RecOp::Release);
            left = --mReferences;
            if (RecordedCall* call = log->Add(RecOp::Release, mId, D3D_OK))
                call->args = {static_cast<int64_t>(left)};
            if (left == 0)
                log->Unregister(mId);
        }
        if (left == 0)
            delete this;
        return left;
    }

    uint32_t Id() const { return mId; }
    RecordingLog& Log() const { return *mLog; }
    ULONG References() const { return mReferences; }

protected:
    RecordingObject(std::shared_ptr<RecordingLog> log, RecordingLog::Kind kind)
        : mLog(std::move(log)), mId(mLog->Register(this, kind)), mReferences(1)
    {
    }
    ~RecordingObject() override {}

    std::shared_ptr<RecordingLog> mLog;
    uint32_t mId;
    ULONG mReferences;
};
