#pragma once
// Descriptor-level helpers shared by TFile and TReadStream. Internal to tlib.

#include <cstdint>

namespace tlib {
namespace posix {

// The name with every backslash replaced by '/'. The caller owns the result
// (free with delete[]).
char* MapPath(const char* name);

// Opens name (after MapPath) with the open(2) flags; refuses folders.
// Returns the descriptor, or -1.
int Open(const char* name, int flags);

// Reads until count bytes arrived, the end of the file, or an error (EINTR is
// retried). Returns the bytes read; *failed tells whether an error stopped it.
int64_t ReadFull(int handle, void* buffer, int64_t count, bool* failed);

// origin 0, 1, 2 as SEEK_SET, SEEK_CUR, SEEK_END; other origins do nothing.
// Returns the new position or -1.
int64_t Seek(int handle, int64_t distance, int origin);

void Close(int handle);

} // namespace posix
} // namespace tlib
