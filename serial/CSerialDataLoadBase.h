#pragma once
// The byte source of the serial data reader. All reading code takes its bytes
// through ReadBytes, so every source shares it.

#include <cstdint>

namespace SerialLib {

class CSerialDataLoadBase {
public:
    virtual ~CSerialDataLoadBase() = default;

    // Fills buffer with exactly length bytes or raises tlib::TException. A
    // source never returns without filling the buffer: meeting the end raises
    // "TReadStream::Read() - Cannot read past end of file".
    virtual void ReadBytes(void* buffer, int length) = 0;

    // How many bytes are left to read; lengths and counts read from the source
    // are checked against it before anything is allocated.
    virtual int64_t BytesLeft() const = 0;

protected:
    CSerialDataLoadBase() = default;
    CSerialDataLoadBase(const CSerialDataLoadBase&) = delete;
    CSerialDataLoadBase& operator=(const CSerialDataLoadBase&) = delete;
};

} // namespace SerialLib
