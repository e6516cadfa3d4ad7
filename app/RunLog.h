#pragma once
// The log of an installed run: nobody sees stderr when the game starts from
// a desktop menu, so the run's messages also go to a file. Main thread only.

#include <string>

// Keeps the log of the previous run as path + ".1" (replacing an older one),
// then starts path afresh, creating its folder (mode 0700). False with
// *error set ("<path>: <reason>") when that fails; the run goes on without
// a log.
bool OpenRunLog(const std::string& path, std::string* error);

// Appends line and a line feed, written through at once; nothing without a
// log. A write that fails closes the log quietly.
void WriteRunLog(const std::string& line);

// Ends the log (nothing without one).
void CloseRunLog();
