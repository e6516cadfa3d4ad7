#pragma once
// Base of every record that can be read from (and written to) a serial data
// file. A derived record is an ordinary copyable value; it describes its own
// fields through GetSerialInfo.

namespace SerialLib {

class CSerialInfo;

class SSerialData {
public:
    SSerialData() = default;
    SSerialData(const SSerialData&) = default;
    SSerialData& operator=(const SSerialData&) = default;
    virtual ~SSerialData() = default;

    // A new description whose attributes point into this very object (the
    // targets are addresses, so call it again for every object). The caller
    // owns the result and deletes it.
    virtual CSerialInfo* GetSerialInfo() = 0;
};

} // namespace SerialLib
