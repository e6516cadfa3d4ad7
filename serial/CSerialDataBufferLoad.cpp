#include "serial/CSerialDataBufferLoad.h"

#include "tlib/TException.h"

#include <cstring>

namespace SerialLib {

CSerialDataBufferLoad::CSerialDataBufferLoad(const void* data, size_t size)
    : mData(static_cast<const uint8_t*>(data)), mSize(data ? size : 0), mPosition(0), mEof(false) {}

void CSerialDataBufferLoad::ReadBytes(void* buffer, int length) {
    if (!buffer || length <= 0)
        throw tlib::TException("TReadStream::Read() - Invalid arguments");
    if (mEof)
        throw tlib::TException("TReadStream::Read() - Cannot read past end of file");
    size_t left = mSize - mPosition;
    if (left == 0) {
        mEof = true;
        throw tlib::TException("TReadStream::Read() - Cannot read past end of file");
    }
    if (left < size_t(length)) {
        mPosition = mSize;
        throw tlib::TException("TReadStream::Read() - Read failed");
    }
    std::memcpy(buffer, mData + mPosition, size_t(length));
    mPosition += size_t(length);
}

int64_t CSerialDataBufferLoad::BytesLeft() const { return int64_t(mSize - mPosition); }

void CSerialDataBufferLoad::Load(const void* data, size_t size, SSerialData& record, const char* name) {
    CSerialDataBufferLoad loader(data, size);
    loader.ReadData(record, name);
}

} // namespace SerialLib
