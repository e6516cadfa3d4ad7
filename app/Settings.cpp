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

namespace {

// A switch of the player's: "true" or "false" in any case; anything else is
// refused.
bool ApplySwitch(const char* value, bool& setting)
{
    if (strcasecmp(value, "true") == 0) {
        setting = true;
    } else if (strcasecmp(value, "false") == 0) {
        setting = false;
    } else {
        return false;
    }
    return true;
}

std::string SwitchText(bool setting)
{
    return setting ? "true" : "false";
}

const SSettingsKey kKeys[] = {
    {"MouseSensitivity",
     [](const char* value, SSettings& s) {
         s.mouseSensitivity = static_cast<double>(ParseSettingsInt(value));
         return true;
     },
     [](const SSettings& s) { return std::to_string(static_cast<int32_t>(s.mouseSensitivity)); }},
    {"XResolution",
     [](const char* value, SSettings& s) {
         s.xResolution = ParseSettingsInt(value);
         return true;
     },
     [](const SSettings& s) { return std::to_string(s.xResolution); }},
    {"YResolution",
     [](const char* value, SSettings& s) {
         s.yResolution = ParseSettingsInt(value);
         return true;
     },
     [](const SSettings& s) { return std::to_string(s.yResolution); }},
    // Only "false" (in any case) changes it, and nothing turns it on again;
    // no value is refused.
    {"ShowHelp",
     [](const char* value, SSettings& s) {
         if (strcasecmp(value, "false") == 0) {
             s.showHelp = false;
         }
         return true;
     },
     [](const SSettings& s) { return SwitchText(s.showHelp); }},
    {"Fullscreen", [](const char* value, SSettings& s) { return ApplySwitch(value, s.fullscreen); },
     [](const SSettings& s) { return SwitchText(s.fullscreen); }},
    {"VSync", [](const char* value, SSettings& s) { return ApplySwitch(value, s.vsync); },
     [](const SSettings& s) { return SwitchText(s.vsync); }},
    {"PauseOnFocusLoss", [](const char* value, SSettings& s) { return ApplySwitch(value, s.pauseOnFocusLoss); },
     [](const SSettings& s) { return SwitchText(s.pauseOnFocusLoss); }},
    {"InvertMouseY", [](const char* value, SSettings& s) { return ApplySwitch(value, s.invertMouseY); },
     [](const SSettings& s) { return SwitchText(s.invertMouseY); }},
    {"Replays", [](const char* value, SSettings& s) { return ApplySwitch(value, s.replays); },
     [](const SSettings& s) { return SwitchText(s.replays); }},
};

// A value as a message shows it: at most 40 bytes, anything but printable
// ASCII as '?'.
std::string Shown(const char* value)
{
    std::string shown;
    for (const char* p = value; *p != 0 && shown.size() < 40; ++p) {
        shown += (*p >= ' ' && *p <= '~') ? *p : '?';
    }
    return *value != 0 && std::strlen(value) > 40 ? shown + "..." : shown;
}

} // namespace

const SSettingsKey* SettingsKeys(int* count)
{
    *count = static_cast<int>(sizeof kKeys / sizeof kKeys[0]);
    return kKeys;
}

std::string SettingsFileText(const SSettings& settings)
{
    std::string text;
    for (const SSettingsKey& key : kKeys) {
        text += key.name;
        text += '=';
        text += key.format(settings);
        text += '\n';
    }
    return text;
}

bool ApplySettingsLine(const tlib::TString& line, SSettings& settings, const SSettingsKey** refused)
{
    const char* text = line.Text();
    if (text == nullptr || text[0] == 0 || text[0] == ';') {
        return true;
    }
    const char* equals = std::strchr(text, '=');
    if (equals == nullptr || equals == text) {
        return true; // no key, or an empty one: matches nothing
    }
    size_t keyLength = static_cast<size_t>(equals - text);
    for (const SSettingsKey& key : kKeys) {
        if (std::strlen(key.name) == keyLength && std::memcmp(text, key.name, keyLength) == 0) {
            if (key.apply(equals + 1, settings)) {
                return true;
            }
            if (refused != nullptr) {
                *refused = &key;
            }
            return false;
        }
    }
    return true;
}

void ReadSettingsFile(const char* fileName, SSettings& settings, std::vector<std::string>* problems)
{
    TFile file(tlib::TString("%s", fileName), TFile::Read, true);
    for (int number = 1;; ++number) {
        tlib::TString line = file.ReadLine();
        bool end = file.Eof();
        // At the end of the file the line is empty; a last line without a
        // line break comes with the end already set and still counts.
        if (end && line.Length() == 0) {
            break;
        }
        const SSettingsKey* key = nullptr;
        if (!ApplySettingsLine(line, settings, &key) && problems != nullptr) {
            problems->push_back(std::string(fileName) + " line " + std::to_string(number) + ": '" +
                                Shown(std::strchr(line.Text(), '=') + 1) + "' is not true or false; " + key->name +
                                " stays " + key->format(settings));
        }
        if (end) {
            break;
        }
    }
}
