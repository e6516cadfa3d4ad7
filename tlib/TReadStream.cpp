#include "tlib/TReadStream.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "tlib/TException.h"
#include "tlib/TPosixFile.h"

namespace tlib {

TReadStream::TReadStream(const TString& name, bool /*shareRead*/) : mHandle(-1), mEof(false)
{
    mHandle = posix::Open(name.Text(), O_RDONLY);
    if (mHandle < 0)
        throw TException("TReadStream::TReadStream() - Failed to open file: '%s'",
                         name.Text() != nullptr ? name.Text() : "");
}

TReadStream::~TReadStream()
{
    posix::Close(mHandle);
}

void TReadStream::Read(void* buffer, int count)
{
    if (buffer == nullptr || count <= 0)
        throw TException("TReadStream::Read() - Invalid arguments");
    if (mEof)
        throw TException("TReadStream::Read() - Cannot read past end of file");
    bool failed;
    int64_t got = posix::ReadFull(mHandle, buffer, count, &failed);
    if (failed)
        throw TException("TReadStream::Read() - ReadFile() failed");
    if (got == 0) {
        mEof = true;
        return;
    }
    if (got < count)
        throw TException("TReadStream::Read() - Read failed");
}

void TReadStream::Seek(long distance, int origin)
{
    posix::Seek(mHandle, distance, origin);
}

int64_t TReadStream::Size() const
{
    struct stat info;
    if (::fstat(mHandle, &info) != 0)
        return 0;
    return static_cast<int64_t>(info.st_size);
}

int64_t TReadStream::Position() const
{
    int64_t position = posix::Seek(mHandle, 0, 1);
    return position < 0 ? 0 : position;
}

} // namespace tlib
