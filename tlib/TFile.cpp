#include "tlib/TFile.h"

#include <cerrno>
#include <climits>
#include <cstdint>

#include <fcntl.h>
#include <unistd.h>

#include "tlib/TException.h"
#include "tlib/TPosixFile.h"

TFile::TFile(const tlib::TString& name, int mode, bool /*shareRead*/)
    : mHandle(-1), mEof(false), mWritable(mode == Write || mode == Append)
{
    int flags;
    switch (mode) {
    case Write: flags = O_WRONLY | O_CREAT | O_TRUNC; break;
    case Read: flags = O_RDONLY; break;
    case Append: flags = O_WRONLY | O_CREAT; break;
    default: flags = -1; break;
    }
    if (flags != -1)
        mHandle = tlib::posix::Open(name.Text(), flags);
    if (mHandle < 0)
        throw tlib::TException("File not found: '%s'", name.Text() != nullptr ? name.Text() : "");
    if (mode == Append)
        tlib::posix::Seek(mHandle, 0, 2);
}

TFile::~TFile()
{
    if (mWritable)
        ::fsync(mHandle);
    tlib::posix::Close(mHandle);
}

int TFile::ReadBytes(void* buffer, int count)
{
    if (buffer == nullptr || count <= 0)
        return 0;
    bool failed;
    int got = static_cast<int>(tlib::posix::ReadFull(mHandle, buffer, count, &failed));
    if (got < count)
        mEof = true;
    return got;
}

int TFile::WriteBytes(const void* buffer, int count)
{
    if (buffer == nullptr || count <= 0)
        return 0;
    const char* from = static_cast<const char*>(buffer);
    int done = 0;
    while (done < count) {
        ssize_t put = ::write(mHandle, from + done, static_cast<size_t>(count - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        done += static_cast<int>(put);
    }
    return done;
}

void TFile::Seek(long distance, int origin)
{
    tlib::posix::Seek(mHandle, distance, origin);
}

tlib::TString TFile::ReadLine()
{
    int64_t start = tlib::posix::Seek(mHandle, 0, 1);

    // Count the line's bytes, one platform read per byte; neither the
    // terminator nor a failed read is counted.
    int64_t count = 0;
    char terminator = 0;
    for (;;) {
        char byte;
        ReadBytes(&byte, 1);
        if (mEof)
            break;
        if (byte == 13 || byte == 10) {
            terminator = byte;
            break;
        }
        ++count;
    }

    tlib::TString line;
    if (count == 0) {
        if (terminator == 13)
            Seek(1, 1); // over the LF taken to follow
        line = "";
        return line;
    }
    if (count >= INT_MAX)
        throw tlib::TException("TFile::ReadLine() - Line too long");

    Seek(static_cast<long>(start), 0);
    int length = static_cast<int>(count);
    char* buffer = new char[static_cast<size_t>(length) + 1];
    int got = ReadBytes(buffer, length);
    buffer[got] = 0;
    line = buffer;
    delete[] buffer;
    if (!mEof)
        Seek(terminator == 13 ? 2 : 1, 1);
    return line;
}
