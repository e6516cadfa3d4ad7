#pragma once
// Writes a record in the serial data format, driven by the same descriptions
// that the reader uses, so that the reader reads back exactly what was
// written. Used by tools; the game itself never writes.
//
// Fields are written in declaration order. What the format cannot carry is
// left out: empty arrays (an empty array of scalars cannot be read), String
// fields with an empty text, nested structures that end up with no item, and
// every attribute after the first one declared under the same name (the
// reader only ever fills the first). What cannot be left out without changing
// the data raises tlib::TException: an empty record at the top or as an array
// element, an empty array of scalars or an empty string inside an array, an
// empty name.

#include "serial/AttributeKind.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace SerialLib {

class CSerialArrayBase;
class SSerialData;

class CSerialDataWrite {
public:
    // The bytes of a file holding record under the top tag name.
    std::vector<uint8_t> Write(SSerialData& record, const char* name);

private:
    // Writes the items of record without the end byte; returns how many.
    int WriteItems(SSerialData& record);
    void WriteArray(const CSerialArrayBase& array);
    void WriteElement(const CSerialArrayBase& array, int index);
    void WriteString(const char* text);
    void WriteBytes(const void* data, size_t size);
    void WriteByte(uint8_t value) { mOut.push_back(value); }
    void WriteInt(int32_t value) { WriteBytes(&value, 4); }

    std::vector<uint8_t> mOut;
    int mDepth = 0;
};

// The bytes of a file holding record under the top tag name.
std::vector<uint8_t> WriteSerialData(SSerialData& record, const char* name);

// Writes such a file at path (taken as given). Raises tlib::TException
// "Cannot write file: '%s'" when the file cannot be written.
void WriteSerialFile(const char* path, SSerialData& record, const char* name);

} // namespace SerialLib
