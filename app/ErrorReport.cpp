#include "app/ErrorReport.h"

#include <cstdio>

#include "app/AppGlobals.h"

MessageBoxFn gMessageBox = nullptr;

void ReportError(const char* message, bool hasCode, int32_t code)
{
    if (message == nullptr) {
        message = "(no message)";
    }
    if (hasCode) {
        std::fprintf(stderr, "tavrin: %s (result code 0x%08X)\n", message, static_cast<unsigned>(code));
    } else {
        std::fprintf(stderr, "tavrin: %s\n", message);
    }
    std::fflush(stderr);
}

void ReportStartupFailure()
{
    if (gMessageBox != nullptr) {
        gMessageBox(kStartupFailureText, kAppTitle);
    }
}
