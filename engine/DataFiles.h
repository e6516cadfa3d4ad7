#pragma once
// Where the loaders find the data files, and how their errors name the file.
//
// By default a data file is "Data\<name>" in the current folder (the
// backslash is taken as a path separator by the file layer). Start-up may
// name another folder once, before any loader runs and before the loading
// thread starts; afterwards the folder is only read, from any thread.

#include "tlib/TString.h"

namespace Orvel {

// The folder the loaders read from; null or "" restores "Data" in the
// current folder. Main thread, before loading starts.
void SetDataFolder(const char* folder);

// The path of a data file as the loaders open it: "Data\<fileName>" with the
// default folder, "<folder>/<fileName>" once one is set.
tlib::TString DataFilePath(const char* fileName);

// Call inside a catch handler only. Raises the error being handled again,
// with " (reading '<path>')" after its message (backslashes in path shown as
// '/'); a TException stays a TException and a DXException keeps its result
// code. Errors of other types pass unchanged.
[[noreturn]] void RethrowNamingFile(const tlib::TString& path);

} // namespace Orvel
