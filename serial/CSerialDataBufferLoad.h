#pragma once
// The serial data reader over bytes in memory, with the same reading code and
// the same messages as the file reader.

#include "serial/CSerialDataLoad.h"

#include <cstddef>
#include <cstdint>

namespace SerialLib {

class SSerialData;

class CSerialDataBufferLoad : public CSerialDataLoad {
public:
    // Does not copy: data must stay valid while the loader reads.
    CSerialDataBufferLoad(const void* data, size_t size);

    // The stream's rules: a null buffer or a length of 0 or less raises
    // "TReadStream::Read() - Invalid arguments", a read at the end "TReadStream::Read()
    // - Cannot read past end of file", a short read "TReadStream::Read() - Read failed".
    void ReadBytes(void* buffer, int length) override;
    int64_t BytesLeft() const override;

    // Reads data[0 .. size-1] into record under the expected name.
    static void Load(const void* data, size_t size, SSerialData& record, const char* name);

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPosition;
    bool mEof;
};

} // namespace SerialLib
