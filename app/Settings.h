#pragma once
// The settings file: lines of key=value, read once at start-up.
//
// A line ends at LF or CR (a CR always takes the byte after it along, as the
// first byte of a CR LF pair). Empty lines and lines starting with ';' are
// skipped. The key is the text before the first '=', compared byte for byte
// with no trimming; the value is the rest of the line, read as a decimal
// integer the way atoi does (leading white space, a sign, digits up to the
// first other byte; none gives 0), held to the 32-bit range. Unknown keys
// are ignored and a repeated key takes its last value; "ShowHelp" turns help
// off only for the value "false" in any case, and nothing turns it on again.
// The last line counts even without a line break after it.

#include <cstdint>

#include "tlib/TString.h"

struct SSettings {
    double mouseSensitivity = 200.0; // "MouseSensitivity"
    int32_t xResolution = 1024;      // "XResolution": back-buffer width in pixels
    int32_t yResolution = 768;       // "YResolution"
    bool showHelp = true;            // "ShowHelp"
};

// Reads fileName over settings (keys not in the file keep their values).
// Raises TException "File not found: '<fileName>'" when it cannot be opened.
void ReadSettingsFile(const char* fileName, SSettings& settings);

// Applies one line (without its terminator).
void ApplySettingsLine(const tlib::TString& line, SSettings& settings);

// The value of text as atoi reads it, held to the 32-bit range.
int32_t ParseSettingsInt(const char* text);
