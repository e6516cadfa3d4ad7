// The reader and the writer of the format: the worked example both ways,
// every failure message from a minimal file, the matching rules, the guards
// against hostile lengths, and what the writer leaves out or refuses. Leaks of
// failed loads are reported by the sanitizer build at exit.

#include "SerialTestSupport.h"

#include "serial/CSerialDataLoad.h"
#include "serial/CSerialDataWrite.h"
#include "serial/SModelCreatorData.h"
#include "serial/SerialFormat.h"
#include "tlib/TString.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>

using namespace serialtest;

namespace {

// Records shaped like the worked example: the colour declares only "r".
struct ExampleColour : SSerialData {
    float r = 0;
    CSerialInfo* GetSerialInfo() override { return Describe("r", &r); }
};
struct ExampleMaterial : SSerialData {
    ExampleColour diffuse;
    float power = 0;
    CSerialInfo* GetSerialInfo() override { return Describe("Diffuse", &diffuse, "Power", &power); }
};
struct ExampleModel : SSerialData {
    float scale = 1;
    CSerialArray<CSerialArrayInt, 7> faceList;
    CSerialArray<ExampleMaterial, 0> materialList;
    CSerialInfo* GetSerialInfo() override {
        return Describe("Scale", &scale, "FaceList", &faceList, "MaterialList", &materialList);
    }
};

TEST(SerialWrite, TheWorkedExampleWritesAndReadsByteForByte) {
    ExampleModel written;
    written.faceList.Append(CSerialArrayInt{0, 1, 2});
    ExampleMaterial material;
    material.diffuse.r = 0.5f;
    material.power = 10.0f;
    written.materialList.Append(material);
    ASSERT_EQ(Example().size(), 129u);
    EXPECT_EQ(WriteSerialData(written, "Model"), Example());

    // A model reads it; the fields the file leaves out keep their values.
    SModelCreatorData model;
    model.scale = 3;
    model.vertexData.Append(7);
    ASSERT_EQ(LoadError(Example(), model), "");
    EXPECT_EQ(model.scale, 1.0f);
    EXPECT_EQ(model.vertexData.GetCount(), 1);
    EXPECT_EQ(model.faceList.At(0).At(2), 2);
    EXPECT_EQ(model.materialList.At(0).diffuse.r, 0.5f);
    EXPECT_EQ(model.materialList.At(0).power, 10.0f);
}

TEST(SerialWrite, EveryKindReadsFromItsBytesAndWritesTheSameBytesBack) {
    Bytes body;
    body.Tag("I").Int(INT32_MIN).Type(1).Tag("B").Type(0xFE).Type(1).Tag("F").Float(NAN).Type(1);
    body.Tag("D").Double(-1.0 / 3).Type(1).Tag("C").Type('\n').Type(1).Tag("S").Str("text").Type(1);
    body.Tag("Inner").Tag("x").Int(0).Type(1).Tag("y").Float(4).Type(1).Type(1);
    body.Tag("Ints").Type(2).Int(2).Int(1).Int(-1).Type(3).Type(1);
    body.Tag("Bytes").Type(2).Int(3).Type(1).Type(2).Type(3).Type(3).Type(1);
    body.Tag("Floats").Type(2).Int(1).Float(INFINITY).Type(3).Type(1);
    body.Tag("Doubles").Type(2).Int(1).Double(1e300).Type(3).Type(1);
    body.Tag("Chars").Type(2).Int(2).Type('h').Type('i').Type(3).Type(1);
    body.Tag("Strings").Type(2).Int(2).Str("one").Str("two").Type(3).Type(1);
    body.Tag("Records").Type(2).Int(1).Type(4).Tag("x").Int(9).Type(1).Tag("y").Float(0).Type(1).Type(5).Type(3);
    body.Type(1).Tag("Lists").Type(2).Int(1).Type(2).Int(1).Int(7).Type(3).Type(3).Type(1);
    // An empty list of records is a valid element.
    body.Tag("RecordLists").Type(2).Int(1).Type(2).Int(0).Type(3).Type(3).Type(1);
    std::vector<uint8_t> file = Bytes().Tag("All").Append(body).Type(1).data;
    AllKinds r;
    ASSERT_EQ(LoadError(file, r, "All"), "");
    EXPECT_EQ(r.i, INT32_MIN);
    EXPECT_STREQ(r.strings.At(1).Get(), "two");
    EXPECT_EQ(WriteSerialData(r, "All"), file);
    // (Files written and read back: the data-file tool's test and the engine's model tests.)
    EXPECT_EQ(ErrorOf([&] { WriteSerialFile("/nonexistent-dir/x.dat", r, "All"); }),
              "Cannot write file: '/nonexistent-dir/x.dat'");
    // Empty arrays are left out: an empty array of scalars cannot be read.
    SModelCreatorData empty;
    EXPECT_EQ(WriteSerialData(empty, "Model"), Bytes().Tag("Model").Tag("Scale").Float(1).Type(1).Type(1).data);
}

// A record whose fields can all be left out, and one with a shadowed name.
struct OnlyList : SSerialData {
    CSerialArrayInt list;
    CSerialInfo* GetSerialInfo() override { return Describe("List", &list); }
};
struct Holder : SSerialData {
    int32_t a = 1, shadowed = 2;
    OnlyList nested;
    CSerialStringBase s;
    CSerialArray<OnlyList, 0> elements;
    CSerialArray<CSerialStringBase, 6> strings;
    CSerialArray<CSerialArrayInt, 7> lists;
    CSerialInfo* GetSerialInfo() override {
        return Describe("a", &a, "a", &shadowed, "Nested", &nested, "S", &s, "Elements", &elements, "Strings",
                        &strings, "Lists", &lists);
    }
};

TEST(SerialWrite, LeavesOutOrRefusesWhatTheReaderCouldNotTakeBack) {
    // An empty nested record, an empty string and a shadowed name are left out.
    Holder h;
    EXPECT_EQ(WriteSerialData(h, "H"), Bytes().Tag("H").Tag("a").Int(1).Type(1).Type(1).data);
    Holder back; // the reader takes the first of equal names
    back.a = 0;
    ASSERT_EQ(LoadError(WriteSerialData(h, "H"), back, "H"), "");
    EXPECT_EQ(back.a, 1);

    const std::string write = "CSerialDataWrite::Write() - ";
    OnlyList empty;
    EXPECT_EQ(ErrorOf([&] { WriteSerialData(empty, "Model"); }), write + "Record 'Model' has nothing to write");
    EXPECT_EQ(ErrorOf([&] { WriteSerialData(h, ""); }), write + "Empty name");
    Holder element, string, list;
    element.elements.Append(OnlyList());
    string.strings.Append(CSerialStringBase(""));
    list.lists.Append(CSerialArrayInt());
    const std::string no = write + "An empty ";
    EXPECT_EQ(ErrorOf([&] { WriteSerialData(element, "H"); }), no + "record cannot be written as an array element");
    EXPECT_EQ(ErrorOf([&] { WriteSerialData(string, "H"); }), no + "string cannot be written as an array element");
    EXPECT_EQ(ErrorOf([&] { WriteSerialData(list, "H"); }), no + "array of scalars cannot be written here");
}

// A file record "Model" holding body, closed by ItemEnd.
std::vector<uint8_t> Model(const Bytes& body) {
    return Bytes().Tag("Model").Append(body).Type(1).data;
}

TEST(SerialLoad, MalformedFilesFailWithTheirMessage) {
    auto bad = [](const char* at, const char* what) {
        return std::string("CSerialDataLoad::") + at + "() - Invalid file format (" + what + ")";
    };
    const std::string count = bad("ReadArray", "Count out of range");
    // The items of the file record, or a whole file when whole is set.
    struct Case { Bytes bytes; std::string message; bool whole = false; };
    const Case cases[] = {
        // first byte not 0
        {Bytes().Type(1).Str("Model").Type(1), bad("ReadData", "Type != 0"), true},
        // first tag longer
        {Bytes().Tag("Models").Tag("I").Int(1).Type(1).Type(1), bad("ReadData", "FirstTag != name"), true},
        // empty file record
        {Bytes(), bad("Read", "Empty structure")},
        // value not closed by 1
        {Bytes().Tag("I").Int(5).Type(3), bad("Read", "Type != 1")},
        // undeclared tag, then a value
        {Bytes().Tag("zz").Int(5).Type(1).Tag("I").Int(1).Type(1), bad("Read", "Type != 0")},
        // array without 2
        {Bytes().Tag("Ints").Type(4).Int(1).Int(7).Type(3).Type(1), bad("ReadArray", "Type != 2")},
        // array without 3
        {Bytes().Tag("Ints").Type(2).Int(1).Int(7).Type(1).Type(1), bad("ReadArray", "Type != 3")},
        // element without 4
        {Bytes().Tag("Records").Type(2).Int(1).Tag("x").Int(1).Type(1).Type(5), bad("ReadArrayItem", "Type != 4")},
        // empty array of scalars
        {Bytes().Tag("Floats").Type(2).Int(0).Type(3).Type(1), "TReadStream::Read() - Invalid arguments"},
        // huge string value
        {Bytes().Tag("S").Int(0x40000000).Type(1), bad("ReadString", "Length out of range")},
        // negative scalar count
        {Bytes().Tag("Ints").Type(2).Int(-1).Type(3).Type(1), count},
        // scalar count just over
        {Bytes().Tag("Ints").Type(2).Int(2).Int(1).Raw("\3\1", 2), count},
        // huge list count
        {Bytes().Tag("Lists").Type(2).Int(0x7FFFFFFF).Type(3).Type(1), count},
    };
    for (const Case& c : cases) {
        AllKinds r;
        EXPECT_EQ(LoadError(c.whole ? c.bytes.data : Model(c.bytes), r), c.message) << "case " << &c - cases;
    }
}

TEST(SerialLoad, RepeatedTagsOverwriteScalarsAndAppendCollections) {
    // Empty arrays of records, strings and arrays are valid and add nothing.
    Bytes body;
    body.Tag("I").Int(1).Type(1).Tag("I").Int(2).Type(1);
    body.Tag("Inner").Tag("x").Int(1).Type(1).Tag("y").Float(1).Type(1).Type(1);
    body.Tag("Inner").Tag("x").Int(2).Type(1).Type(1); // y keeps 1
    body.Tag("Ints").Type(2).Int(2).Int(1).Int(2).Type(3).Type(1);
    body.Tag("Ints").Type(2).Int(1).Int(3).Type(3).Type(1);
    for (int k = 0; k < 2; ++k) {
        body.Tag("Records").Type(2).Int(1).Type(4).Tag("x").Int(10 + k).Type(1).Type(5).Type(3).Type(1);
        body.Tag("Strings").Type(2).Int(1).Str(k ? "b" : "a").Type(3).Type(1);
        body.Tag("Lists").Type(2).Int(1).Type(2).Int(1).Int(20 + k).Type(3).Type(3).Type(1);
        for (const char* tag : {"Records", "Strings", "Lists", "RecordLists"})
            body.Tag(tag).Type(2).Int(0).Type(3).Type(1);
    }
    AllKinds r;
    ASSERT_EQ(LoadError(Model(body), r), "");
    EXPECT_EQ(r.i, 2);
    EXPECT_EQ(r.inner.x, 2);
    EXPECT_EQ(r.inner.y, 1.0f);
    ASSERT_EQ(r.ints.GetCount(), 1);
    EXPECT_EQ(r.ints.At(0), 3);
    EXPECT_EQ(r.records.At(1).x, 11);
    EXPECT_STREQ(r.strings.At(1).Get(), "b");
    EXPECT_EQ(r.lists.At(1).At(0), 21);
    EXPECT_EQ(r.recordLists.GetCount(), 0);
}

TEST(SerialLoad, TagMatchingAndEndBytes) {
    // An undeclared tag straight before the end byte loads (it counts as an item);
    // tags are case-sensitive; tags and strings end at their first zero byte.
    AllKinds r;
    Bytes body;
    body.Tag("i").Tag(std::string("I\0b", 3)).Int(4).Type(1).Tag("S").Str(std::string("ab\0cd", 5)).Type(1).Tag("zz");
    EXPECT_EQ(LoadError(Model(body), r), "");
    EXPECT_EQ(r.i, 4);
    EXPECT_STREQ(r.s.Get(), "ab");
    // An extra 1 after a nested structure ends the file record: the bytes after it
    // are never read.
    AllKinds early;
    body = Bytes().Tag("Inner").Tag("x").Int(1).Type(1).Type(1).Type(1).Tag("I").Int(9).Type(1).Raw("junk", 4);
    EXPECT_EQ(LoadError(Bytes().Tag("Model").Append(body).data, early), "");
    EXPECT_EQ(early.inner.x, 1);
    EXPECT_EQ(early.i, 0);
}

// Loads bytes through a temporary file.
std::string LoadFileError(const std::vector<uint8_t>& bytes, SSerialData& record) {
    std::string path = ::testing::TempDir() + "serial_load_test.dat";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::string error = ErrorOf([&] { CSerialDataLoad(tlib::TString("%s", path.c_str())).ReadData(record, "Model"); });
    std::remove(path.c_str());
    return error;
}

TEST(SerialLoad, TheEndOfTheDataFailsTheLoadAtEveryBoundary) {
    // Every proper prefix of a valid file fails, from memory and from a file, at a
    // type byte, a count or a value.
    std::vector<uint8_t> example = Example();
    for (size_t n = 0; n < example.size(); ++n) {
        std::vector<uint8_t> prefix(example.begin(), example.begin() + n);
        SModelCreatorData model, again;
        std::string error = LoadError(prefix, model);
        EXPECT_EQ(LoadFileError(prefix, again), error) << n;
        const std::set<std::string> endings = {
            "TReadStream::Read() - Cannot read past end of file", "TReadStream::Read() - Read failed",
            "CSerialDataLoad::ReadString() - Invalid file format (Length out of range)",
            "CSerialDataLoad::ReadArray() - Invalid file format (Count out of range)"};
        EXPECT_EQ(endings.count(error), 1u) << n << ": " << error;
    }
    // The file ends at the item's closing type byte: the stream's first read at
    // the end succeeds with nothing read; the loader must not act on it.
    AllKinds r;
    EXPECT_EQ(LoadFileError(Bytes().Tag("Model").Tag("I").Int(5).data, r),
              "TReadStream::Read() - Cannot read past end of file");
    EXPECT_EQ(r.i, 5);
}

// A record that nests itself as deep as a file asks: the reader must refuse
// before a hostile file exhausts the stack.
struct Deep : SSerialData {
    Deep* child = nullptr;
    int32_t v = 0;
    ~Deep() override { delete child; }
    CSerialInfo* GetSerialInfo() override {
        if (!child)
            child = new Deep();
        return Describe("Child", child, "v", &v);
    }
};

std::vector<uint8_t> DeepFile(int levels) {
    Bytes b;
    b.Tag("Model");
    for (int i = 0; i < levels; ++i)
        b.Tag("Child");
    b.Tag("v").Int(1).Type(1);
    for (int i = 0; i <= levels; ++i)
        b.Type(1);
    return b.data;
}

TEST(SerialLoad, NestingIsBounded) {
    Deep ok;
    EXPECT_EQ(LoadError(DeepFile(MaxNestingDepth - 1), ok), "");
    const std::string tooDeep = "CSerialDataLoad::Read() - Invalid file format (Nesting too deep)";
    Deep deep, hostile;
    EXPECT_EQ(LoadError(DeepFile(MaxNestingDepth), deep), tooDeep);
    EXPECT_EQ(LoadError(DeepFile(100000), hostile), tooDeep);
}

} // namespace
