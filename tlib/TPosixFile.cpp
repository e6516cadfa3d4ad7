#include "tlib/TPosixFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tlib {
namespace posix {

char* MapPath(const char* name)
{
    size_t length = std::strlen(name);
    char* path = new char[length + 1];
    for (size_t i = 0; i <= length; ++i)
        path[i] = name[i] == '\\' ? '/' : name[i];
    return path;
}

int Open(const char* name, int flags)
{
    if (name == nullptr || name[0] == 0)
        return -1;
    char* path = MapPath(name);
    int handle;
    do {
        handle = ::open(path, flags | O_CLOEXEC, 0644);
    } while (handle < 0 && errno == EINTR);
    delete[] path;
    if (handle < 0)
        return -1;
    struct stat info;
    if (::fstat(handle, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(handle);
        return -1;
    }
    return handle;
}

int64_t ReadFull(int handle, void* buffer, int64_t count, bool* failed)
{
    *failed = false;
    char* to = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < count) {
        ssize_t got = ::read(handle, to + done, static_cast<size_t>(count - done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            *failed = true;
            break;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

int64_t Seek(int handle, int64_t distance, int origin)
{
    int whence;
    switch (origin) {
    case 0: whence = SEEK_SET; break;
    case 1: whence = SEEK_CUR; break;
    case 2: whence = SEEK_END; break;
    default: return -1;
    }
    return ::lseek(handle, static_cast<off_t>(distance), whence);
}

void Close(int handle)
{
    if (handle >= 0)
        ::close(handle);
}

} // namespace posix
} // namespace tlib
