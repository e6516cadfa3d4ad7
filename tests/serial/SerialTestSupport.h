#pragma once
// Helpers of the serial data tests: a builder of file bytes and small records.

#include "serial/CSerialArray.h"
#include "serial/CSerialArrayPrimitive.h"
#include "serial/CSerialDataBufferLoad.h"
#include "serial/CSerialInfo.h"
#include "serial/CSerialStringBase.h"
#include "serial/SSerialData.h"
#include "tlib/TException.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace serialtest {

using namespace SerialLib;

// Builds file bytes by hand, in the format's own terms.
class Bytes {
public:
    Bytes& Type(uint8_t t) { mOut.push_back(t); return *this; }
    Bytes& Int(int32_t v) { return Raw(&v, 4); }
    Bytes& Float(float v) { return Raw(&v, 4); }
    Bytes& Double(double v) { return Raw(&v, 8); }
    Bytes& Str(const std::string& s) { Int(int32_t(s.size())); return Raw(s.data(), s.size()); }
    // ItemBegin and the tag.
    Bytes& Tag(const std::string& s) { return Type(0).Str(s); }
    Bytes& Raw(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        mOut.insert(mOut.end(), b, b + n);
        return *this;
    }
    Bytes& Append(const Bytes& other) { return Raw(other.mOut.data(), other.mOut.size()); }
    const std::vector<uint8_t>& Data() const { return mOut; }
    size_t Size() const { return mOut.size(); }

private:
    std::vector<uint8_t> mOut;
};

// The message of the exception that loading bytes into record raises, or ""
// when it loads.
inline std::string LoadError(const std::vector<uint8_t>& bytes, SSerialData& record, const char* name = "Model") {
    try {
        CSerialDataBufferLoad::Load(bytes.data(), bytes.size(), record, name);
    } catch (const tlib::TException& e) {
        return e.Message();
    }
    return "";
}

// A record of every kind, scalar and array.
struct Inner : SSerialData {
    int32_t x = 0;
    float y = 0;
    CSerialInfo* GetSerialInfo() override {
        CSerialInfo* info = new CSerialInfo();
        info->AddAttribute("x", &x);
        info->AddAttribute("y", &y);
        return info;
    }
};

struct AllKinds : SSerialData {
    int32_t i = 0;
    uint8_t byte = 0;
    float f = 0;
    double d = 0;
    char c = 0;
    CSerialStringBase s;
    Inner inner;
    CSerialArrayPrimitive<int32_t, 1> ints;
    CSerialArrayPrimitive<uint8_t, 2> bytes;
    CSerialArrayPrimitive<float, 3> floats;
    CSerialArrayPrimitive<double, 4> doubles;
    CSerialArrayPrimitive<char, 5> chars;
    CSerialArray<CSerialStringBase, 6> strings;
    CSerialArray<Inner, 0> records;
    CSerialArray<CSerialArrayInt, 7> lists;
    CSerialArray<CSerialArray<Inner, 0>, 7> recordLists;

    CSerialInfo* GetSerialInfo() override {
        CSerialInfo* info = new CSerialInfo();
        info->AddAttribute("I", &i);
        info->AddAttribute("B", &byte);
        info->AddAttribute("F", &f);
        info->AddAttribute("D", &d);
        info->AddAttribute("C", &c);
        info->AddAttribute("S", static_cast<ISerialString*>(&s));
        info->AddAttribute("Inner", &inner);
        info->AddAttribute("Ints", &ints);
        info->AddAttribute("Bytes", &bytes);
        info->AddAttribute("Floats", &floats);
        info->AddAttribute("Doubles", &doubles);
        info->AddAttribute("Chars", &chars);
        info->AddAttribute("Strings", &strings);
        info->AddAttribute("Records", &records);
        info->AddAttribute("Lists", &lists);
        info->AddAttribute("RecordLists", &recordLists);
        return info;
    }
};

} // namespace serialtest
