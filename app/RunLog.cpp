#include "app/RunLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/WhereEnvironment.h"

namespace {

FILE* gLog = nullptr;

} // namespace

bool OpenRunLog(const std::string& path, std::string* error)
{
    CloseRunLog();
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash), error))
        return false;
    if (ProbePath(path) == PathKind::Folder) {
        *error = path + ": it is a folder";
        return false;
    }
    const std::string previous = path + ".1";
    if (std::rename(path.c_str(), previous.c_str()) != 0 && errno != ENOENT) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    gLog = std::fopen(path.c_str(), "we");
    if (gLog == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void WriteRunLog(const std::string& line)
{
    if (gLog == nullptr)
        return;
    if (std::fprintf(gLog, "%s\n", line.c_str()) < 0 || std::fflush(gLog) != 0)
        CloseRunLog();
}

void CloseRunLog()
{
    if (gLog != nullptr) {
        std::fclose(gLog);
        gLog = nullptr;
    }
}
