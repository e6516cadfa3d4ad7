#pragma once
// Helpers of the serial data tests: a builder of file bytes and small records.

#include "serial/CSerialArray.h"
#include "serial/CSerialArrayPrimitive.h"
#include "serial/CSerialDataBufferLoad.h"
#include "serial/CSerialInfo.h"
#include "serial/CSerialStringBase.h"
#include "serial/SSerialData.h"
#include "tests/tlib/MessageOf.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace serialtest {

using namespace SerialLib;

// Builds file bytes by hand, in the format's own terms.
struct Bytes {
    std::vector<uint8_t> data;
    Bytes& Type(uint8_t t) { data.push_back(t); return *this; }
    Bytes& Int(int32_t v) { return Raw(&v, 4); }
    Bytes& Float(float v) { return Raw(&v, 4); }
    Bytes& Double(double v) { return Raw(&v, 8); }
    Bytes& Str(const std::string& s) { Int(int32_t(s.size())); return Raw(s.data(), s.size()); }
    // ItemBegin and the tag.
    Bytes& Tag(const std::string& s) { return Type(0).Str(s); }
    Bytes& Raw(const void* p, size_t n) {
        data.insert(data.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
        return *this;
    }
    Bytes& Append(const Bytes& other) { return Raw(other.data.data(), other.data.size()); }
};

// The message of the TException that f raises, or "" when it raises none.
template <typename F>
std::string ErrorOf(F f) {
    const std::string message = MessageOf(f);
    return message == "(nothing raised)" ? "" : message;
}

// The message of loading bytes into record, or "" when it loads.
inline std::string LoadError(const std::vector<uint8_t>& bytes, SSerialData& record, const char* name = "Model") {
    return ErrorOf([&] { CSerialDataBufferLoad::Load(bytes.data(), bytes.size(), record, name); });
}

// The 129-byte worked example, as the loader's fuzz corpus holds it: a
// "Model" with Scale 1, one face {0, 1, 2} and one material whose Diffuse
// sets only r = 0.5, with Power 10.
inline std::vector<uint8_t> Example() {
    std::ifstream file(TAVRIN_WORKED_EXAMPLE, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

inline void AddTo(CSerialInfo*) {}
template <typename T, typename... Rest>
void AddTo(CSerialInfo* info, const char* name, T* target, Rest... rest) {
    info->AddAttribute(name, target);
    AddTo(info, rest...);
}
// A new description of a record from (tag, field) pairs, in declaration order.
template <typename... Pairs>
CSerialInfo* Describe(Pairs... pairs) {
    CSerialInfo* info = new CSerialInfo();
    AddTo(info, pairs...);
    return info;
}

// A record of every kind, scalar and array.
struct Inner : SSerialData {
    int32_t x = 0;
    float y = 0;
    CSerialInfo* GetSerialInfo() override { return Describe("x", &x, "y", &y); }
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
        return Describe("I", &i, "B", &byte, "F", &f, "D", &d, "C", &c, "S", &s, "Inner", &inner, "Ints", &ints,
                        "Bytes", &bytes, "Floats", &floats, "Doubles", &doubles, "Chars", &chars, "Strings", &strings,
                        "Records", &records, "Lists", &lists, "RecordLists", &recordLists);
    }
};

} // namespace serialtest
