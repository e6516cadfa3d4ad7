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
// The player's own switches ("Fullscreen", "VSync", "PauseOnFocusLoss",
// "InvertMouseY", "Replays") take "true" or "false" in any case; any other value keeps
// what the key had and is reported with its line number.
// The last line counts even without a line break after it.

#include <cstdint>
#include <string>
#include <vector>

#include "tlib/TString.h"

struct SSettings {
    double mouseSensitivity = 200.0; // "MouseSensitivity"
    int32_t xResolution = 1024;      // "XResolution": back-buffer width in pixels
    int32_t yResolution = 768;       // "YResolution"
    bool showHelp = true;            // "ShowHelp"
    bool fullscreen = true;          // "Fullscreen": desktop-fullscreen, else a window
    bool vsync = true;               // "VSync": presenting waits for the display's retrace
    bool pauseOnFocusLoss = false;   // "PauseOnFocusLoss"
    bool invertMouseY = false;       // "InvertMouseY": the walk view looks up as the mouse goes down
    bool replays = true;             // "Replays": every game is recorded in Replays/
};

// One key of the file: how its value applies to the settings and how the
// key's line is written. A new setting is a field above and a row of the
// table in Settings.cpp.
struct SSettingsKey {
    const char* name;
    // False when the value is refused (the setting keeps its value).
    bool (*apply)(const char* value, SSettings& settings);
    // The value as the file holds it ("200", "false").
    std::string (*format)(const SSettings& settings);
};

// The keys in the order they are compared and written; count is set.
const SSettingsKey* SettingsKeys(int* count);

// A settings file that reads back as settings: one "key=value" line per key,
// each ended by a line feed.
std::string SettingsFileText(const SSettings& settings);

// Reads fileName over settings (keys not in the file keep their values).
// Raises TException "File not found: '<fileName>'" when it cannot be opened.
// Each refused value adds one line to *problems (when given):
// "<fileName> line <n>: '<value>' is not true or false; <key> stays <value>".
void ReadSettingsFile(const char* fileName, SSettings& settings, std::vector<std::string>* problems = nullptr);

// Applies one line (without its terminator). False when the line's key
// refuses its value; *key then names the key.
bool ApplySettingsLine(const tlib::TString& line, SSettings& settings, const SSettingsKey** key = nullptr);

// The value of text as atoi reads it, held to the 32-bit range.
int32_t ParseSettingsInt(const char* text);
