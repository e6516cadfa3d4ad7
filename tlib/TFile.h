#pragma once
// A file opened in one of three modes and read as raw bytes or text lines.
// Unbuffered: every read is one platform read. Names are relative to the
// current directory; every backslash in a name is taken as a path separator
// ("Data\\Robot.dat" opens Data/Robot.dat), and messages carry the name as
// given. Owns its descriptor and closes it on destruction. One thread at a time.

#include "tlib/TString.h"

class TFile {
public:
    enum Mode { Write = 0, Read = 1, Append = 2 };

    // mode 0: write, create or truncate; 1: read an existing file; 2: append,
    // open or create, positioned at the end. shareRead is accepted for the
    // callers' sake; the platform here has no sharing modes. Raises
    // TException "File not found: '<name>'" when the file cannot be opened.
    TFile(const tlib::TString& name, int mode, bool shareRead);
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;
    // Flushes a file opened for writing, then closes it; results ignored.
    ~TFile();

    // Reads up to count bytes; returns how many arrived. Fewer than count
    // (a short read or a failure) sets end of file, which stays set.
    int ReadBytes(void* buffer, int count);
    // Writes count bytes; returns how many were written.
    int WriteBytes(const void* buffer, int count);
    // origin 0: from the start, 1: from the current position, 2: from the
    // end. The result is ignored.
    void Seek(long distance, int origin);

    // The next line, without its terminator. A line ends at CR LF, at LF, or
    // at the end of the file; any length is read whole. A lone CR is taken as
    // the first byte of a CR LF pair, so the byte after it is skipped. A last
    // line without terminator comes back with end of file already set; at the
    // end of the file the result is the empty string with end of file set.
    tlib::TString ReadLine();

    bool Eof() const { return mEof; }

private:
    int mHandle;
    bool mEof;
    bool mWritable;
};
