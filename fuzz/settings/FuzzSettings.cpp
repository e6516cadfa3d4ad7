// fuzz_settings: arbitrary bytes as the settings file, read through the real
// file layer and settings reader. Any outcome but a crash, a leak or
// undefined behaviour is fine; the values must stay what the parser can give.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/Settings.h"

namespace {

const char* FileName()
{
    static char name[] = "/tmp/tavrin-fuzz-settings-XXXXXX";
    static bool made = false;
    if (!made) {
        int fd = mkstemp(name);
        if (fd < 0) {
            std::abort();
        }
        close(fd);
        made = true;
    }
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Settings files are small, and the file layer reads byte by byte:
    // longer inputs only slow the search down.
    if (size > 1024) {
        return 0;
    }
    const char* name = FileName();
    FILE* file = std::fopen(name, "wb");
    if (file == nullptr) {
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        std::abort();
    }
    std::fclose(file);
    SSettings settings;
    ReadSettingsFile(name, settings);
    // The sensitivity is a whole number within the 32-bit range.
    double s = settings.mouseSensitivity;
    if (s != static_cast<double>(static_cast<int32_t>(s))) {
        std::abort();
    }
    return 0;
}
