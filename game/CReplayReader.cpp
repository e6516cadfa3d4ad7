#include "game/CReplayReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "game/ReplayZlib.h"

namespace {

// Little-endian fields read from a byte buffer.
struct SGet {
    const uint8_t* p;
    uint64_t U(int n)
    {
        uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= static_cast<uint64_t>(*p++) << (8 * i);
        return v;
    }
    // Whether the next 4 bytes are the CRC-32 of everything from start up to here.
    bool CrcMatches(const uint8_t* start)
    {
        const uint32_t crc = static_cast<uint32_t>(crc32(0L, start, static_cast<uInt>(p - start)));
        return U(4) == crc;
    }
};

bool Printable(const char* text, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (text[i] < 0x20 || text[i] > 0x7E)
            return false;
    return true;
}

} // namespace

CReplayReader::CReplayReader()
{
    std::memset(&mZ, 0, sizeof mZ);
}

CReplayReader::~CReplayReader()
{
    Reset();
}

void CReplayReader::Reset()
{
    if (mFd >= 0)
        close(mFd);
    mFd = -1;
    if (mInflating)
        inflateEnd(&mZ);
    mInflating = false;
    mStreamEnded = false;
    mBytes = nullptr;
    mBytesLeft = 0;
    mSourceEnd = false;
    mInNext = nullptr;
    mInAvail = 0;
    mTaken = 0;
    mOutNext = mOutEnd = 0;
    mCoder = CReplayCoder();
    mSegmentBytes = 0;
    mRecordCount = mRecordNext = 0;
    mGiven = 0;
    mHeader = SReplayHeader();
    mFooter = SReplayFooter();
    mProblem.clear();
    mResult = RECORD;
}

bool CReplayReader::Open(const std::string& path, std::string& error)
{
    Reset();
    mFd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (mFd < 0) {
        mResult = FAILED;
        error = mProblem = path + ": cannot open the replay: " + std::strerror(errno);
        return false;
    }
    return Begin(path, error);
}

bool CReplayReader::OpenBytes(const void* data, size_t size, const std::string& name, std::string& error)
{
    Reset();
    mBytes = static_cast<const uint8_t*>(data);
    mBytesLeft = size;
    return Begin(name, error);
}

bool CReplayReader::Begin(const std::string& name, std::string& error)
{
    mName = name;
    const bool ok = ReadHeader();
    error = mProblem;
    return ok;
}

bool CReplayReader::FillInput()
{
    if (mInAvail > 0)
        return true;
    if (mSourceEnd)
        return false;
    if (mFd < 0) {
        // Memory: hand out the bytes in place, a bounded piece at a time.
        const size_t n = mBytesLeft < (1u << 30) ? mBytesLeft : (1u << 30);
        mInNext = mBytes;
        mInAvail = n;
        mBytes += n;
        mBytesLeft -= n;
    } else {
        ssize_t n;
        do
            n = read(mFd, mIn, sizeof mIn);
        while (n < 0 && errno == EINTR);
        if (n < 0) {
            Stop(FAILED, std::string("cannot read the replay: ") + std::strerror(errno));
            mSourceEnd = true;
            return false;
        }
        mInNext = mIn;
        mInAvail = static_cast<size_t>(n);
    }
    mTaken += static_cast<int64_t>(mInAvail);
    mSourceEnd = mInAvail == 0;
    return mInAvail > 0;
}

size_t CReplayReader::TakeRaw(uint8_t* out, size_t n)
{
    size_t got = 0;
    while (got < n && FillInput()) {
        const size_t k = mInAvail < n - got ? mInAvail : n - got;
        std::memcpy(out + got, mInNext, k);
        mInNext += k;
        mInAvail -= k;
        got += k;
    }
    return got;
}

bool CReplayReader::ReadHeader()
{
    auto fail = [this](const std::string& what) {
        Stop(FAILED, what);
        return false;
    };
    // The fixed part before the version string, then the rest once its
    // length is known.
    uint8_t bytes[sizeof kReplayMagic + 2 + 1 + kMaxVersionLength + 4 + 8 + 8 + 1 + 4];
    const size_t fixed = sizeof kReplayMagic + 2 + 1;
    size_t got = TakeRaw(bytes, fixed);
    if (mResult == FAILED)
        return false;
    auto cutShort = [&] { return fail("cut short inside the header (" + std::to_string(got) + " bytes)"); };
    if (got == 0)
        return fail("not a replay file (it is empty)");
    if (std::memcmp(bytes, kReplayMagic, got < sizeof kReplayMagic ? got : sizeof kReplayMagic) != 0)
        return fail("not a replay file (it does not begin with the replay magic)");
    if (got < fixed)
        return cutShort();
    SGet get{bytes + sizeof kReplayMagic};
    mHeader.formatVersion = static_cast<uint16_t>(get.U(2));
    if (mHeader.formatVersion != kReplayFormatVersion)
        return fail("replay format version " + std::to_string(mHeader.formatVersion) +
                    " is not one this game reads (it reads version " + std::to_string(kReplayFormatVersion) + ")");
    const size_t versionLength = static_cast<size_t>(get.U(1));
    if (versionLength == 0 || versionLength > static_cast<size_t>(kMaxVersionLength))
        return fail("corrupted header: a version string of " + std::to_string(versionLength) + " bytes");
    const size_t rest = versionLength + 4 + 8 + 8 + 1 + 4;
    got += TakeRaw(bytes + fixed, rest);
    if (mResult == FAILED)
        return false;
    if (got < fixed + rest)
        return cutShort();
    std::memcpy(mHeader.gameVersion, get.p, versionLength);
    mHeader.gameVersion[versionLength] = '\0';
    get.p += versionLength;
    mHeader.seed = static_cast<uint32_t>(get.U(4));
    mHeader.date = static_cast<int64_t>(get.U(8));
    const uint64_t sensitivity = get.U(8);
    std::memcpy(&mHeader.mouseSensitivity, &sensitivity, sizeof sensitivity);
    const uint64_t flags = get.U(1);
    mHeader.showHelp = (flags & 1) != 0;
    if (!get.CrcMatches(bytes))
        return fail("corrupted header (its checksum does not match)");
    if (!Printable(mHeader.gameVersion, versionLength) || (flags & ~1ull) != 0 ||
        !std::isfinite(mHeader.mouseSensitivity))
        return fail("corrupted header (a field outside its range)");

    UseProgramAllocator(mZ);
    if (inflateInit2(&mZ, kReplayWindowBits) != Z_OK)
        return fail("cannot start the decompressor");
    mInflating = true;
    return true;
}

CReplayReader::ByteResult CReplayReader::StreamByte(uint8_t& byte)
{
    while (mOutNext == mOutEnd) {
        if (mStreamEnded)
            return STREAM_END;
        if (mInAvail == 0 && !FillInput() && mResult == FAILED)
            return NO_MORE;
        mZ.next_in = const_cast<Bytef*>(mInNext);
        mZ.avail_in = static_cast<uInt>(mInAvail);
        mZ.next_out = mOut;
        mZ.avail_out = sizeof mOut;
        const int result = inflate(&mZ, Z_NO_FLUSH);
        mInNext = mZ.next_in;
        mInAvail = mZ.avail_in;
        mOutNext = 0;
        mOutEnd = sizeof mOut - mZ.avail_out;
        if (result == Z_STREAM_END) {
            mStreamEnded = true;
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            Stop(FAILED, "corrupted near byte " + std::to_string(Offset()) + " (" +
                             (mZ.msg != nullptr ? mZ.msg : "the stream cannot be decompressed") + ")");
            return NO_MORE;
        } else if (mOutEnd == 0 && mInAvail == 0 && mSourceEnd) {
            Stop(CUT_SHORT, "");
            return NO_MORE;
        }
    }
    byte = mOut[mOutNext++];
    return BYTE;
}

CReplayReader::Result CReplayReader::Next(SReplayRecord& record)
{
    if (mResult == RECORD && mRecordNext == mRecordCount)
        mResult = ReadSegment();
    if (mResult != RECORD)
        return mResult;
    record = mRecords[mRecordNext++];
    ++mGiven;
    return RECORD;
}

CReplayReader::Result CReplayReader::ReadSegment()
{
    mRecordCount = mRecordNext = 0;
    mSegmentBytes = 0;
    // Item bytes go to the segment, for its checksum.
    auto next = [this](uint8_t& byte) {
        if (mSegmentBytes == sizeof mSegment || StreamByte(byte) != BYTE)
            return false;
        mSegment[mSegmentBytes++] = byte;
        return true;
    };
    auto recordNumber = [this] { return std::to_string(mGiven + mRecordCount + 1); };
    for (;;) {
        uint8_t tag;
        const ByteResult r = StreamByte(tag);
        if (r == NO_MORE)
            return mResult;
        if (r == STREAM_END) {
            if (mRecordCount > 0)
                return Stop(FAILED, "corrupted: the stream ends without checking records " +
                                        std::to_string(mGiven + 1) + " to " + std::to_string(mGiven + mRecordCount));
            return ReadFooter();
        }
        if (tag == 0x80) {
            uint8_t crcBytes[4];
            uint32_t count = 0;
            bool outOfData = false;
            for (uint8_t& b : crcBytes)
                if (StreamByte(b) != BYTE)
                    return mResult == RECORD ? Stop(FAILED, "corrupted: the stream ends inside a checkpoint") : mResult;
            auto plain = [this](uint8_t& byte) { return StreamByte(byte) == BYTE; };
            if (!CReplayCoder::TakeVarint(plain, count, outOfData)) {
                if (mResult != RECORD)
                    return mResult;
                return Stop(FAILED, outOfData ? "corrupted: the stream ends inside a checkpoint"
                                              : "corrupted: a checkpoint's record count does not fit");
            }
            SGet get{crcBytes};
            const uint32_t crc = static_cast<uint32_t>(get.U(4));
            if (count != static_cast<uint32_t>(mRecordCount) || mRecordCount == 0 ||
                crc != static_cast<uint32_t>(crc32(0L, mSegment, static_cast<uInt>(mSegmentBytes))))
                return Stop(FAILED, "corrupted: the checkpoint after record " + std::to_string(mGiven + mRecordCount) +
                                        " does not match the records before it");
            return RECORD;
        }
        if ((tag & 0xF0) != 0)
            return Stop(FAILED, "corrupted: an unknown item (tag " + std::to_string(tag) + ") after record " +
                                    std::to_string(mGiven + mRecordCount));
        if (mRecordCount == kSegmentRecords)
            return Stop(FAILED, "corrupted: more than " + std::to_string(kSegmentRecords) +
                                    " records without a checkpoint after record " + std::to_string(mGiven));
        mSegment[mSegmentBytes++] = tag;
        const char* what = "";
        switch (mCoder.Decode(tag, next, mRecords[mRecordCount], what)) {
        case CReplayCoder::DECODED:
            ++mRecordCount;
            break;
        case CReplayCoder::OUT_OF_DATA:
            if (mResult != RECORD)
                return mResult;
            return Stop(FAILED, "corrupted: the stream ends inside record " + recordNumber());
        case CReplayCoder::MALFORMED:
            return Stop(FAILED, "corrupted: record " + recordNumber() + " has " + what);
        }
    }
}

CReplayReader::Result CReplayReader::ReadFooter()
{
    uint8_t bytes[4 + 4 + 8 + 2 + kMaxStateLineLength + 4];
    const size_t head = 4 + 4 + 8 + 2;
    size_t got = TakeRaw(bytes, head);
    if (mResult == FAILED)
        return mResult;
    if (got == 0)
        return Stop(CUT_SHORT, "the footer is missing");
    if (std::memcmp(bytes, kReplayFooterMagic, got < 4 ? got : 4) != 0)
        return Stop(FAILED, "corrupted: no footer after the stream");
    SGet get{bytes + 4};
    size_t lineLength = 0;
    if (got == head) {
        get.p = bytes + 16;
        lineLength = static_cast<size_t>(get.U(2));
        if (lineLength == 0 || lineLength > static_cast<size_t>(kMaxStateLineLength))
            return Stop(FAILED, "corrupted footer: a state line of " + std::to_string(lineLength) + " bytes");
        got += TakeRaw(bytes + head, lineLength + 4);
    }
    if (mResult == FAILED)
        return mResult;
    if (got < head + lineLength + 4)
        return Stop(CUT_SHORT, "it ends inside the footer");
    get.p = bytes + 4;
    const uint32_t records = static_cast<uint32_t>(get.U(4));
    mFooter.digest = get.U(8);
    get.p += 2;
    std::memcpy(mFooter.stateLine, get.p, lineLength);
    mFooter.stateLine[lineLength] = '\0';
    get.p += lineLength;
    if (!get.CrcMatches(bytes))
        return Stop(FAILED, "corrupted footer (its checksum does not match)");
    if (!Printable(mFooter.stateLine, lineLength))
        return Stop(FAILED, "corrupted footer (the state line is not text)");
    uint8_t more;
    if (TakeRaw(&more, 1) != 0)
        return Stop(FAILED, "corrupted: bytes after the footer");
    if (mResult == FAILED)
        return mResult;
    mFooter.records = records;
    if (mFooter.records != mGiven)
        return Stop(FAILED, "the footer claims " + std::to_string(mFooter.records) + " records, the stream holds " +
                                std::to_string(mGiven));
    return END;
}

CReplayReader::Result CReplayReader::Stop(Result result, const std::string& what)
{
    mResult = result;
    mRecordCount = mRecordNext = 0;
    if (result == CUT_SHORT) {
        mProblem = mName + ": cut short after record " + std::to_string(mGiven) +
                   (what.empty() ? std::string(" (the records after it were never checked)") : " (" + what + ")");
    } else {
        mProblem = mName + ": " + what;
    }
    return result;
}
