#pragma once
// The real machine behind CWhere, and the few file-system steps that the
// start-up of an installed run and the features that write files need.

#include <string>

#include "app/CWhere.h"

// The environment variables, the running program's path (from
// /proc/self/exe) and the installation layout the program was built for.
SWhereEnvironment ReadWhereEnvironment();

// What is at path (links followed).
PathKind ProbePath(const std::string& path);

// Creates path and its missing parents, new folders with mode 0700 (the
// mode the XDG folders ask for). False with *error set ("<folder>: <reason>")
// when one cannot be made.
bool MakeFolders(const std::string& path, std::string* error);

// Writes text to a new file at path, creating its folder; never replaces a
// file that exists. False with *error set when it cannot.
bool WriteNewFile(const std::string& path, const std::string& text, std::string* error);

// Why path cannot be opened for reading ("it is a folder", "Permission
// denied"); empty when it can.
std::string ReadProblem(const std::string& path);
