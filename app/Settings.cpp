#include "app/Settings.h"

#include <strings.h>

#include <cstring>

#include "tlib/TFile.h"

int32_t ParseSettingsInt(const char* text)
{
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value <= int64_t(INT32_MAX) + 1) {
            value = value * 10 + (*p - '0');
        }
        ++p;
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(value);
}

void ApplySettingsLine(const tlib::TString& line, SSettings& settings)
{
    const char* text = line.Text();
    if (text == nullptr || text[0] == 0 || text[0] == ';') {
        return;
    }
    const char* equals = std::strchr(text, '=');
    if (equals == nullptr || equals == text) {
        return; // no key, or an empty one: matches nothing
    }
    size_t keyLength = static_cast<size_t>(equals - text);
    const char* value = equals + 1;
    auto is = [&](const char* key) { return std::strlen(key) == keyLength && std::memcmp(text, key, keyLength) == 0; };
    if (is("MouseSensitivity")) {
        settings.mouseSensitivity = static_cast<double>(ParseSettingsInt(value));
    } else if (is("XResolution")) {
        settings.xResolution = ParseSettingsInt(value);
    } else if (is("YResolution")) {
        settings.yResolution = ParseSettingsInt(value);
    } else if (is("ShowHelp")) {
        if (strcasecmp(value, "false") == 0) {
            settings.showHelp = false;
        }
    }
}

void ReadSettingsFile(const char* fileName, SSettings& settings)
{
    TFile file(tlib::TString("%s", fileName), TFile::Read, true);
    for (;;) {
        tlib::TString line = file.ReadLine();
        bool end = file.Eof();
        // At the end of the file the line is empty; a last line without a
        // line break comes with the end already set and still counts.
        if (end && line.Length() == 0) {
            break;
        }
        ApplySettingsLine(line, settings);
        if (end) {
            break;
        }
    }
}
