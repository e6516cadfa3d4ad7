#include "app/ErrorReport.h"

#include <cstdio>
#include <string>

#include "app/AppGlobals.h"
#include "app/RunLog.h"

MessageBoxFn gMessageBox = nullptr;

namespace {

void Report(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    WriteRunLog(line);
}

} // namespace

void ReportError(const char* message, bool hasCode, int32_t code)
{
    std::string line = std::string("tavrin: ") + (message != nullptr ? message : "(no message)");
    if (hasCode) {
        char text[32];
        std::snprintf(text, sizeof text, " (result code 0x%08X)", static_cast<unsigned>(code));
        line += text;
    }
    Report(line);
}

void ReportNotice(const char* message)
{
    Report(std::string("tavrin: ") + message);
}

void ReportStartupFailure()
{
    WriteRunLog(std::string(kAppTitle) + ": " + kStartupFailureText);
    if (gMessageBox != nullptr) {
        gMessageBox(kStartupFailureText, kAppTitle);
    }
}
