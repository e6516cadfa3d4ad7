#pragma once
// zlib's state for replay files takes its memory from this program's C
// allocator, where the program's allocation counters see it, rather than
// from inside the zlib library.

#include <zlib.h>

#include <cstdlib>

inline void UseProgramAllocator(z_stream& stream)
{
    stream.zalloc = [](voidpf, uInt items, uInt size) -> voidpf { return std::calloc(items, size); };
    stream.zfree = [](voidpf, voidpf block) { std::free(block); };
    stream.opaque = Z_NULL;
}
