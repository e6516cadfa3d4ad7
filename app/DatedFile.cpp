#include "app/DatedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// A file that finds this many names of its second taken gives up.
constexpr int kMaxSuffix = 999;

} // namespace

bool MakeFolders(const std::string& folder)
{
    struct stat info;
    if (stat(folder.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return true;
        }
        errno = ENOTDIR;
        return false;
    }
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) {
        return false;
    }
    return mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

std::string DatedFileName(std::time_t when, int n, const char* extension)
{
    std::tm local;
    char stamp[32] = "00000000-000000";
    if (localtime_r(&when, &local) != nullptr) {
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    }
    std::string name = std::string("tavrin-") + stamp;
    if (n > 1) {
        name += "-" + std::to_string(n);
    }
    return name + "." + extension;
}

int CreateDatedFile(const std::string& folder, std::time_t when, const char* extension, std::string& path,
                    std::string& error)
{
    if (!MakeFolders(folder)) {
        error = "'" + folder + "': " + std::strerror(errno);
        return -1;
    }
    for (int n = 1; n <= kMaxSuffix; ++n) {
        path = folder + "/" + DatedFileName(when, n, extension);
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            error = "'" + path + "': " + std::strerror(errno);
            return -1;
        }
    }
    error = "every name of its second is taken in '" + folder + "'";
    return -1;
}
