#pragma once
// Reads one serial data file into one record, steering by the record's own
// description: each tag is matched against the record's attributes in
// declaration order and the value is decoded by the attribute's kind.
//
// A loader lives for one file: construction opens it, one ReadData consumes
// it, destruction closes it. Every failure raises tlib::TException and leaves
// the record with whatever was stored before the failure; everything the
// loader allocated is released. Not thread safe; a record being loaded must
// not be touched by another thread until ReadData returns.

#include "serial/CSerialDataLoadBase.h"
#include "serial/CStringCtnr.h"

#include <cstdint>

namespace tlib {
class TReadStream;
class TString;
} // namespace tlib

namespace SerialLib {

class CSerialArrayBase;
class SSerialData;

class CSerialDataLoad : public CSerialDataLoadBase {
public:
    // Opens path for reading; an open failure raises the stream's error.
    explicit CSerialDataLoad(const tlib::TString& path);
    ~CSerialDataLoad() override;

    // Passes the read to the stream; a read that meets the end of the file
    // raises "TReadStream::Read() - Cannot read past end of file".
    void ReadBytes(void* buffer, int length) override;
    int64_t BytesLeft() const override;

    // Reads the whole file into record; name is the expected first tag.
    // Nothing after the file record's final end byte is read.
    void ReadData(SSerialData& record, const tlib::TString& name);
    void ReadData(SSerialData& record, const char* name);

    // Reads the items of one structure up to and including endByte
    // (ItemEnd for the file record and nested structures, ElementEnd for the
    // elements of arrays of structures).
    void Read(SSerialData* record, uint8_t endByte);
    // Reads one array, from ArrayBegin to ArrayEnd.
    void ReadArray(CSerialArrayBase* array);
    // Reads one element of a non-scalar array and appends it.
    void ReadArrayItem(CSerialArrayBase* array);
    // Reads one string (int32 length, then the bytes).
    CStringCtnr ReadString();

protected:
    // For byte sources other than a file: no stream.
    CSerialDataLoad();

private:
    uint8_t ReadType();
    int32_t ReadCount();

    tlib::TReadStream* mStream; // owned; null for other sources
    int64_t mStreamSize;        // the file's size when it was opened
    int64_t mStreamRead;        // bytes read from the stream so far
    int mDepth;                 // structures and arrays being read, for the nesting bound
};

} // namespace SerialLib
