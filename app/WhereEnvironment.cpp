#include "app/WhereEnvironment.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

// The layout of an installation, set by the build (GNUInstallDirs).
#ifndef TAVRIN_BIN_TO_DATA
#define TAVRIN_BIN_TO_DATA "../share/tavrin"
#endif
#ifndef TAVRIN_INSTALLED_DATA
#define TAVRIN_INSTALLED_DATA "/usr/local/share/tavrin"
#endif

namespace {

std::string Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string Reason(const std::string& path, int error)
{
    return path + ": " + std::strerror(error);
}

} // namespace

SWhereEnvironment ReadWhereEnvironment()
{
    SWhereEnvironment environment;
    environment.probe = ProbePath;
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) {
        buffer[length] = 0;
        environment.executable = buffer;
    }
    environment.home = Variable("HOME");
    environment.xdgConfigHome = Variable("XDG_CONFIG_HOME");
    environment.xdgDataHome = Variable("XDG_DATA_HOME");
    environment.xdgStateHome = Variable("XDG_STATE_HOME");
    environment.binToData = TAVRIN_BIN_TO_DATA;
    environment.installedData = TAVRIN_INSTALLED_DATA;
    return environment;
}

PathKind ProbePath(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
    return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Unknown;
}

bool MakeFolders(const std::string& path, std::string* error)
{
    if (path.empty()) {
        *error = "no folder named";
        return false;
    }
    // Each prefix ending before a '/', then the whole path.
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string folder = path.substr(0, end);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            *error = Reason(folder, errno);
            return false;
        }
        if (end == std::string::npos)
            break;
    }
    if (ProbePath(path) != PathKind::Folder) {
        *error = path + ": not a folder";
        return false;
    }
    return true;
}

bool WriteNewFile(const std::string& path, const std::string& text, std::string* error)
{
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash), error))
        return false;
    int handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (handle < 0) {
        *error = Reason(path, errno);
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        ssize_t wrote = ::write(handle, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            *error = Reason(path, wrote < 0 ? errno : EIO);
            ::close(handle);
            ::unlink(path.c_str());
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    if (::close(handle) != 0) {
        *error = Reason(path, errno);
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

std::string ReadProblem(const std::string& path)
{
    if (ProbePath(path) == PathKind::Folder)
        return "it is a folder";
    // Non-blocking: a pipe by that name must not stop the start-up here.
    int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (handle < 0)
        return std::strerror(errno);
    ::close(handle);
    return "";
}
