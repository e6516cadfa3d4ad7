#pragma once
// An existing file read in exact byte counts with strict end-of-file rules;
// the data loaders read through it. Unbuffered: every read is one platform
// read. Every backslash in the name is taken as a path separator; messages
// carry the name as given. Owns its descriptor. One thread at a time.

#include <cstdint>

#include "tlib/TString.h"

namespace tlib {

class TReadStream {
public:
    // Raises TException "TReadStream::TReadStream() - Failed to open file:
    // '<name>'" when the file cannot be opened for reading (or is a folder).
    // shareRead is accepted for the callers' sake; the platform here has no
    // sharing modes.
    TReadStream(const TString& name, bool shareRead);
    TReadStream(const TReadStream&) = delete;
    TReadStream& operator=(const TReadStream&) = delete;
    ~TReadStream();

    // Reads exactly count bytes, or:
    // - raises "... - Invalid arguments" for a null buffer or count <= 0;
    // - raises "... - Cannot read past end of file" once end of file is set;
    // - when no byte is left, sets end of file and returns normally with the
    //   buffer unchanged (so only the read after that raises);
    // - raises "... - Read failed" for a short read that is not empty, and
    //   "... - ReadFile() failed" when the platform read fails.
    void Read(void* buffer, int count);
    // origin 0: from the start, 1: from the current position, 2: from the
    // end. The result is ignored.
    void Seek(long distance, int origin);

    bool Eof() const { return mEof; }
    // File size in bytes, so that loaders can reject impossible lengths.
    int64_t Size() const;
    // Current position in bytes from the start.
    int64_t Position() const;

private:
    int mHandle;
    bool mEof;
};

} // namespace tlib
