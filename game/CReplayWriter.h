#pragma once
// Writes a replay file (game/ReplayFormat.h) as the game goes: the header at
// the start, one record per timer tick, the footer at the end. Every
// kSegmentRecords records it writes a checkpoint and hands what it has to
// the file, so that a crash or a kill loses at most the last 3 seconds.
//
// Start allocates the compressor's state; Add allocates nothing and costs a
// few bytes of coding per tick, plus one compression and one write at each
// checkpoint. A write that fails (a full disk) closes the recording: Add and
// Finish then return false and Error says why; the game plays on.
// One thread at a time.

#include <zlib.h>

#include <cstdint>
#include <string>

#include "game/CReplayCoder.h"
#include "game/ReplayFormat.h"

class CGame;

class CReplayWriter {
public:
    CReplayWriter();
    // A recording neither finished nor failed is closed as a file cut short
    // after its last record: that record ends its segment.
    ~CReplayWriter();
    CReplayWriter(const CReplayWriter&) = delete;
    CReplayWriter& operator=(const CReplayWriter&) = delete;

    // Creates a new file at path (never replacing one) and writes the header.
    bool Create(const std::string& path, const SReplayHeader& header, std::string& error);
    // The same on a file the caller has opened for writing; the writer owns
    // fd from now on and closes it. name is for messages.
    bool Start(int fd, const std::string& name, const SReplayHeader& header, std::string& error);

    // The record of one timer tick. False once the recording has failed.
    bool Add(const SReplayRecord& record);
    // The last checkpoint, the stream's end and the footer from the game as
    // it is after the last record; closes the file.
    bool Finish(const CGame& game);

    bool IsOpen() const { return mFd >= 0; }
    // Why the recording failed, naming the file; empty while it has not.
    const std::string& Error() const { return mError; }
    int64_t Records() const { return mRecords; }
    // Bytes handed to the file so far.
    int64_t BytesWritten() const { return mWritten; }

private:
    // Checkpoints the records since the last one and flushes the stream.
    bool EndSegment();
    // Compresses what the segment holds with this flush mode and writes the output.
    bool Compress(int flush);
    bool Write(const uint8_t* data, size_t size);
    bool Fail(const std::string& what);
    void Close();

    static constexpr int kSegmentBytes = kSegmentRecords * CReplayCoder::kMaxRecordBytes + 16;

    int mFd = -1;
    std::string mName;
    std::string mError;
    z_stream mZ;
    bool mDeflating = false;
    CReplayCoder mCoder;
    uint8_t mSegment[kSegmentBytes];
    int mSegmentBytes = 0;
    int mSegmentRecords = 0;
    uint8_t mOut[8192];
    int64_t mRecords = 0;
    int64_t mWritten = 0;
};
