#include "game/CReplayWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "game/GameStateLine.h"
#include "game/ReplayZlib.h"

namespace {

// Little-endian fields appended to a byte buffer of known room.
struct SPut {
    uint8_t* p;
    void Bytes(const void* data, size_t n)
    {
        std::memcpy(p, data, n);
        p += n;
    }
    void U(uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            *p++ = static_cast<uint8_t>(v >> (8 * i));
    }
    // The CRC-32 of everything from start up to here.
    void Crc(const uint8_t* start) { U(crc32(0L, start, static_cast<uInt>(p - start)), 4); }
};

} // namespace

CReplayWriter::CReplayWriter()
{
    std::memset(&mZ, 0, sizeof mZ);
}

CReplayWriter::~CReplayWriter()
{
    if (IsOpen() && mSegmentRecords > 0)
        EndSegment();
    Close();
}

bool CReplayWriter::Create(const std::string& path, const SReplayHeader& header, std::string& error)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = path + ": cannot create the replay: " + std::strerror(errno);
        return false;
    }
    return Start(fd, path, header, error);
}

bool CReplayWriter::Start(int fd, const std::string& name, const SReplayHeader& header, std::string& error)
{
    Close();
    mFd = fd;
    mName = name;
    mError.clear();
    mCoder = CReplayCoder();
    mSegmentBytes = 0;
    mSegmentRecords = 0;
    mRecords = 0;
    mWritten = 0;

    const size_t versionLength = std::strlen(header.gameVersion);
    UseProgramAllocator(mZ);
    if (versionLength == 0 || versionLength > static_cast<size_t>(kMaxVersionLength)) {
        Fail("the game's version string must have 1 to 32 characters");
    } else if (deflateInit2(&mZ, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kReplayWindowBits, 8, Z_RLE) != Z_OK) {
        Fail("cannot start the compressor");
    } else {
        mDeflating = true;
        uint8_t bytes[64];
        SPut put{bytes};
        put.Bytes(kReplayMagic, sizeof kReplayMagic);
        put.U(kReplayFormatVersion, 2);
        put.U(versionLength, 1);
        put.Bytes(header.gameVersion, versionLength);
        put.U(header.seed, 4);
        put.U(static_cast<uint64_t>(header.date), 8);
        uint64_t sensitivity;
        std::memcpy(&sensitivity, &header.mouseSensitivity, sizeof sensitivity);
        put.U(sensitivity, 8);
        put.U(header.showHelp ? 1 : 0, 1);
        put.Crc(bytes);
        Write(bytes, static_cast<size_t>(put.p - bytes));
    }
    error = mError;
    return mError.empty();
}

bool CReplayWriter::Add(const SReplayRecord& record)
{
    if (!IsOpen())
        return false;
    if (const char* what = CReplayCoder::Check(record))
        return Fail("record " + std::to_string(mRecords + 1) + " has " + what);
    mSegmentBytes += mCoder.Encode(record, mSegment + mSegmentBytes);
    ++mSegmentRecords;
    ++mRecords;
    return mSegmentRecords < kSegmentRecords || EndSegment();
}

bool CReplayWriter::EndSegment()
{
    uint8_t* end = mSegment + mSegmentBytes;
    SPut put{end};
    put.U(0x80, 1);
    put.U(crc32(0L, mSegment, static_cast<uInt>(mSegmentBytes)), 4);
    put.p += CReplayCoder::PutVarint(static_cast<uint32_t>(mSegmentRecords), put.p);
    mSegmentBytes = static_cast<int>(put.p - mSegment);
    mSegmentRecords = 0;
    return Compress(Z_SYNC_FLUSH);
}

bool CReplayWriter::Compress(int flush)
{
    mZ.next_in = mSegment;
    mZ.avail_in = static_cast<uInt>(mSegmentBytes);
    mSegmentBytes = 0;
    int result;
    do {
        mZ.next_out = mOut;
        mZ.avail_out = sizeof mOut;
        result = deflate(&mZ, flush);
        if (result == Z_STREAM_ERROR)
            return Fail("the compressor failed");
        if (!Write(mOut, sizeof mOut - mZ.avail_out))
            return false;
    } while (mZ.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    return true;
}

bool CReplayWriter::Finish(const CGame& game)
{
    if (!IsOpen())
        return false;
    if (mSegmentRecords > 0 && !EndSegment())
        return false;
    if (!Compress(Z_FINISH))
        return false;

    const std::string line = StateLine(game).substr(0, kMaxStateLineLength);
    uint8_t bytes[4 + 4 + 8 + 2 + kMaxStateLineLength + 4];
    SPut put{bytes};
    put.Bytes(kReplayFooterMagic, sizeof kReplayFooterMagic);
    put.U(static_cast<uint64_t>(mRecords), 4);
    put.U(StateDigest(game), 8);
    put.U(line.size(), 2);
    put.Bytes(line.data(), line.size());
    put.Crc(bytes);
    if (!Write(bytes, static_cast<size_t>(put.p - bytes)))
        return false;
    const int fd = mFd;
    mFd = -1;
    Close();
    if (close(fd) != 0)
        return Fail(std::string("cannot close the replay: ") + std::strerror(errno));
    return true;
}

bool CReplayWriter::Write(const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(mFd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Fail(std::string("cannot write the replay: ") + (n < 0 ? std::strerror(errno) : "nothing written"));
        data += n;
        size -= static_cast<size_t>(n);
        mWritten += n;
    }
    return true;
}

bool CReplayWriter::Fail(const std::string& what)
{
    if (mError.empty())
        mError = mName + ": " + what;
    Close();
    return false;
}

void CReplayWriter::Close()
{
    if (mFd >= 0)
        close(mFd);
    mFd = -1;
    if (mDeflating)
        deflateEnd(&mZ);
    mDeflating = false;
}
