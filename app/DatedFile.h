#pragma once
// Files the game writes as it goes (screenshots, replays): named after the
// local date and time they were made, in a folder that is made when missing.
// When a name is taken the next gets a suffix, and a file is only ever
// created where none exists, so nothing is overwritten.

#include <ctime>
#include <string>

// Makes folder and its parents (0755); false with errno set.
bool MakeFolders(const std::string& folder);

// The name of a file made at `when` (local time): n = 1 gives
// "tavrin-YYYYMMDD-HHMMSS.<extension>", n > 1 "tavrin-YYYYMMDD-HHMMSS-<n>.<extension>".
std::string DatedFileName(std::time_t when, int n, const char* extension);

// Makes the folder when missing and creates a new file there under the first
// free name of `when`, open for writing. Returns its descriptor and sets
// path; -1 when it cannot, with error saying why ("'<folder>': <reason>",
// "'<path>': <reason>" or that every name of the second is taken).
int CreateDatedFile(const std::string& folder, std::time_t when, const char* extension, std::string& path,
                    std::string& error);
