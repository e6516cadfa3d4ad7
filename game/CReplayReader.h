#pragma once
// Reads a replay file (game/ReplayFormat.h) record by record, from a file
// or from bytes in memory. Records are handed out only once the checkpoint
// after them has checked them, so a file cut short plays up to its last
// checkpoint and a corrupted one stops before the damage.
//
// Memory: fixed buffers inside the object and the decompressor's state
// (about 45 KB, taken once the header has been read): nothing grows with
// the file or with what it claims. Every problem is a message naming the
// file. One thread at a time.

#include <zlib.h>

#include <cstdint>
#include <string>

#include "game/CReplayCoder.h"
#include "game/ReplayFormat.h"

class CReplayReader {
public:
    enum Result {
        RECORD,     // Next gave a record
        END,        // all records given; Footer holds the footer
        CUT_SHORT,  // the file stops early; every complete record was given
        FAILED,     // the file is not a replay, or is corrupted; Problem says how
    };

    CReplayReader();
    ~CReplayReader();
    CReplayReader(const CReplayReader&) = delete;
    CReplayReader& operator=(const CReplayReader&) = delete;

    // Opens the file and reads its header; false with the problem in error.
    bool Open(const std::string& path, std::string& error);
    // The same over size bytes at data, which must outlive the reader; name
    // is for messages.
    bool OpenBytes(const void* data, size_t size, const std::string& name, std::string& error);

    const SReplayHeader& Header() const { return mHeader; }
    // The next record; once it is not RECORD it stays what it was.
    Result Next(SReplayRecord& record);
    // With CUT_SHORT or FAILED: what is wrong, naming the file.
    const std::string& Problem() const { return mProblem; }
    // With END.
    const SReplayFooter& Footer() const { return mFooter; }
    // Records given so far.
    int64_t Records() const { return mGiven; }

private:
    enum ByteResult { BYTE, STREAM_END, NO_MORE };  // NO_MORE: cut short or failed (mResult)
    bool Begin(const std::string& name, std::string& error);
    bool ReadHeader();
    // Bytes of the file itself, outside the stream; returns how many it got.
    size_t TakeRaw(uint8_t* out, size_t n);
    bool FillInput();
    ByteResult StreamByte(uint8_t& byte);
    Result ReadSegment();
    Result ReadFooter();
    Result Stop(Result result, const std::string& what);
    int64_t Offset() const { return mTaken - static_cast<int64_t>(mInAvail); }
    void Reset();

    std::string mName;
    std::string mProblem;
    Result mResult = FAILED;
    SReplayHeader mHeader;
    SReplayFooter mFooter;

    // The source: a file or bytes in memory.
    int mFd = -1;
    const uint8_t* mBytes = nullptr;
    size_t mBytesLeft = 0;
    bool mSourceEnd = false;
    uint8_t mIn[16384];
    const uint8_t* mInNext = nullptr;
    size_t mInAvail = 0;
    int64_t mTaken = 0;  // bytes taken from the source so far

    z_stream mZ;
    bool mInflating = false;
    bool mStreamEnded = false;
    uint8_t mOut[4096];
    size_t mOutNext = 0;
    size_t mOutEnd = 0;

    // The segment being read: its items' bytes and its records.
    CReplayCoder mCoder;
    uint8_t mSegment[kSegmentRecords * CReplayCoder::kMaxRecordBytes];
    size_t mSegmentBytes = 0;
    SReplayRecord mRecords[kSegmentRecords];
    int mRecordCount = 0;
    int mRecordNext = 0;
    int64_t mGiven = 0;
};
