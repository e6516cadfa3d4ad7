// The reader: the worked example, every failure message from a minimal file,
// the matching rules and the guards against hostile lengths and nesting.

#include "SerialTestSupport.h"

#include "serial/CSerialDataLoad.h"
#include "serial/SModelCreatorData.h"
#include "serial/SerialFormat.h"
#include "tlib/TString.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace serialtest;

namespace {

const uint8_t kWorkedExample[129] = {
    0x00, 0x05, 0x00, 0x00, 0x00, 0x4D, 0x6F, 0x64, 0x65, 0x6C, 0x00, 0x05, 0x00, 0x00, 0x00, 0x53, 0x63, 0x61, 0x6C,
    0x65, 0x00, 0x00, 0x80, 0x3F, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x46, 0x61, 0x63, 0x65, 0x4C, 0x69, 0x73, 0x74,
    0x02, 0x01, 0x00, 0x00, 0x00, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02,
    0x00, 0x00, 0x00, 0x03, 0x03, 0x01, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x4D, 0x61, 0x74, 0x65, 0x72, 0x69, 0x61, 0x6C,
    0x4C, 0x69, 0x73, 0x74, 0x02, 0x01, 0x00, 0x00, 0x00, 0x04, 0x00, 0x07, 0x00, 0x00, 0x00, 0x44, 0x69, 0x66, 0x66,
    0x75, 0x73, 0x65, 0x00, 0x01, 0x00, 0x00, 0x00, 0x72, 0x00, 0x00, 0x00, 0x3F, 0x01, 0x01, 0x00, 0x05, 0x00, 0x00,
    0x00, 0x50, 0x6F, 0x77, 0x65, 0x72, 0x00, 0x00, 0x20, 0x41, 0x01, 0x05, 0x03, 0x01, 0x01};

std::vector<uint8_t> Example() { return std::vector<uint8_t>(kWorkedExample, kWorkedExample + 129); }

// A file record "Model" holding body, closed by ItemEnd.
std::vector<uint8_t> Model(const Bytes& body) {
    Bytes b;
    b.Tag("Model").Append(body).Type(1);
    return b.Data();
}

TEST(SerialLoad, ReadsTheWorkedExampleIntoAModel) {
    SModelCreatorData model;
    model.scale = 3;
    model.vertexData.Append(7); // untouched: the file does not name it
    ASSERT_EQ(LoadError(Example(), model), "");
    EXPECT_EQ(model.scale, 1.0f);
    EXPECT_EQ(model.vertexData.GetCount(), 1);
    ASSERT_EQ(model.faceList.GetCount(), 1);
    const CSerialArrayInt& face = model.faceList.At(0);
    ASSERT_EQ(face.GetCount(), 3);
    EXPECT_EQ(face.At(0), 0);
    EXPECT_EQ(face.At(2), 2);
    ASSERT_EQ(model.materialList.GetCount(), 1);
    const SMaterialData& m = model.materialList.At(0);
    EXPECT_EQ(m.diffuse.r, 0.5f);
    EXPECT_EQ(m.diffuse.g, 0.0f);
    EXPECT_EQ(m.ambient.r, 0.0f);
    EXPECT_EQ(m.power, 10.0f);
    EXPECT_EQ(model.normalData.GetCount(), 0);
    EXPECT_EQ(model.faceNormalList.GetCount(), 0);
    EXPECT_EQ(model.faceMaterialList.GetCount(), 0);
}

TEST(SerialLoad, MalformedFilesFailWithTheirMessage) {
    const char* length = "CSerialDataLoad::ReadString() - Invalid file format (Length out of range)";
    const char* count = "CSerialDataLoad::ReadArray() - Invalid file format (Count out of range)";
    const char* noArgs = "TReadStream::Read() - Invalid arguments";
    struct Case {
        const char* what;
        Bytes bytes; // a whole file, or the items of the file record when body is set
        const char* message;
        bool body = true;
    };
    Case cases[] = {
        {"first byte not 0", Bytes().Type(1).Str("Model").Type(1),
         "CSerialDataLoad::ReadData() - Invalid file format (Type != 0)", false},
        {"first tag in another case", Bytes().Tag("model").Tag("I").Int(1).Type(1).Type(1),
         "CSerialDataLoad::ReadData() - Invalid file format (FirstTag != name)", false},
        {"first tag longer", Bytes().Tag("Models").Tag("I").Int(1).Type(1).Type(1),
         "CSerialDataLoad::ReadData() - Invalid file format (FirstTag != name)", false},
        {"empty file record", Bytes(), "CSerialDataLoad::Read() - Invalid file format (Empty structure)"},
        {"bad item type", Bytes().Type(2), "CSerialDataLoad::Read() - Invalid file format (Type != 0)"},
        {"value not closed by 1", Bytes().Tag("I").Int(5).Type(3),
         "CSerialDataLoad::Read() - Invalid file format (Type != 1)"},
        {"undeclared tag, then a value", Bytes().Tag("zz").Int(5).Type(1).Tag("I").Int(1).Type(1),
         "CSerialDataLoad::Read() - Invalid file format (Type != 0)"},
        {"array without 2", Bytes().Tag("Ints").Type(4).Int(1).Int(7).Type(3).Type(1),
         "CSerialDataLoad::ReadArray() - Invalid file format (Type != 2)"},
        {"array without 3", Bytes().Tag("Ints").Type(2).Int(1).Int(7).Type(1).Type(1),
         "CSerialDataLoad::ReadArray() - Invalid file format (Type != 3)"},
        {"element without 4", Bytes().Tag("Records").Type(2).Int(1).Tag("x").Int(1).Type(1).Type(5).Type(3).Type(1),
         "CSerialDataLoad::ReadArrayItem() - Invalid file format (Type != 4)"},
        {"element ended by 1", Bytes().Tag("Records").Type(2).Int(1).Type(4).Tag("x").Int(1).Type(1).Type(1).Type(3),
         "CSerialDataLoad::Read() - Invalid file format (Type != 0)"},
        {"empty element", Bytes().Tag("Records").Type(2).Int(1).Type(4).Type(5).Type(3).Type(1),
         "CSerialDataLoad::Read() - Invalid file format (Empty structure)"},
        {"empty nested structure", Bytes().Tag("Inner").Type(1),
         "CSerialDataLoad::Read() - Invalid file format (Empty structure)"},
        {"empty array of scalars", Bytes().Tag("Floats").Type(2).Int(0).Type(3).Type(1), noArgs},
        {"empty string value", Bytes().Tag("S").Int(0).Type(1), noArgs},
        {"empty tag", Bytes().Type(0).Int(0).Type(1), noArgs},
        {"empty string element", Bytes().Tag("Strings").Type(2).Int(1).Int(0).Type(3).Type(1), noArgs},
        {"empty inner list", Bytes().Tag("Lists").Type(2).Int(1).Type(2).Int(0).Type(3).Type(3).Type(1), noArgs},
        {"negative tag length", Bytes().Type(0).Int(-1).Type(1), length},
        {"tag longer than the file", Bytes().Type(0).Int(4).Raw("ab", 2), length},
        {"huge string value", Bytes().Tag("S").Int(0x40000000).Type(1), length},
        {"huge top tag", Bytes().Type(0).Int(0x7FFFFFF0).Raw("Model", 5), length, false},
        {"negative scalar count", Bytes().Tag("Ints").Type(2).Int(-1).Type(3).Type(1), count},
        {"huge scalar count", Bytes().Tag("Doubles").Type(2).Int(0x7FFFFFFF).Double(1).Type(3).Type(1), count},
        {"scalar count just over", Bytes().Tag("Ints").Type(2).Int(2).Int(1).Raw("\3\1", 2), count},
        {"negative record count", Bytes().Tag("Records").Type(2).Int(-5).Type(3).Type(1), count},
        {"huge list count", Bytes().Tag("Lists").Type(2).Int(0x7FFFFFFF).Type(3).Type(1), count},
        {"negative string count", Bytes().Tag("Strings").Type(2).Int(INT32_MIN).Type(3).Type(1), count},
    };
    for (Case& c : cases) {
        AllKinds r;
        EXPECT_EQ(LoadError(c.body ? Model(c.bytes) : c.bytes.Data(), r), c.message) << c.what;
    }
    // A failed load keeps what was stored before the failure.
    AllKinds r;
    Bytes body;
    body.Tag("I").Int(8).Type(1).Tag("Records").Type(2).Int(2).Type(4).Tag("x").Int(1).Type(1).Type(5).Type(9);
    EXPECT_NE(LoadError(Model(body), r), "");
    EXPECT_EQ(r.i, 8);
    EXPECT_EQ(r.records.GetCount(), 1);
}

TEST(SerialLoad, EveryKindTakesItsValueUnchanged) {
    Bytes body;
    body.Tag("I").Int(-7).Type(1).Tag("B").Type(0xFE).Type(1).Tag("D").Double(1e300).Type(1);
    body.Tag("C").Type('z').Type(1);
    body.Tag("S").Str(std::string("ab\0cd", 5)).Type(1); // reaches the field up to the zero
    body.Tag("Inner").Tag("y").Float(4).Type(1).Type(1);
    body.Tag("Bytes").Type(2).Int(3).Type(1).Type(2).Type(3).Type(3).Type(1);
    body.Tag("Chars").Type(2).Int(2).Type('h').Type('i').Type(3).Type(1);
    body.Tag("Strings").Type(2).Int(2).Str("one").Str("two").Type(3).Type(1);
    // Empty arrays of records, strings and arrays are valid and add nothing.
    for (const char* tag : {"Records", "Strings", "Lists"})
        body.Tag(tag).Type(2).Int(0).Type(3).Type(1);
    body.Tag("RecordLists").Type(2).Int(2);
    body.Type(2).Int(0).Type(3);
    body.Type(2).Int(1).Type(4).Tag("x").Int(9).Type(1).Type(5).Type(3);
    body.Type(3).Type(1);
    AllKinds r;
    ASSERT_EQ(LoadError(Model(body), r), "");
    EXPECT_EQ(r.i, -7);
    EXPECT_EQ(r.byte, 0xFE);
    EXPECT_EQ(r.d, 1e300);
    EXPECT_EQ(r.c, 'z');
    EXPECT_STREQ(r.s.Get(), "ab");
    EXPECT_EQ(r.inner.y, 4.0f);
    EXPECT_EQ(r.bytes.At(2), 3);
    EXPECT_EQ(r.chars.At(1), 'i');
    ASSERT_EQ(r.strings.GetCount(), 2);
    EXPECT_STREQ(r.strings.At(1).Get(), "two");
    EXPECT_EQ(r.records.GetCount() + r.lists.GetCount(), 0);
    ASSERT_EQ(r.recordLists.GetCount(), 2);
    EXPECT_EQ(r.recordLists.At(0).GetCount(), 0);
    EXPECT_EQ(r.recordLists.At(1).At(0).x, 9);
}

TEST(SerialLoad, RepeatedTagsOverwriteScalarsAndAppendCollections) {
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
    }
    AllKinds r;
    ASSERT_EQ(LoadError(Model(body), r), "");
    EXPECT_EQ(r.i, 2);
    EXPECT_EQ(r.inner.x, 2);
    EXPECT_EQ(r.inner.y, 1.0f);
    ASSERT_EQ(r.ints.GetCount(), 1);
    EXPECT_EQ(r.ints.At(0), 3);
    ASSERT_EQ(r.records.GetCount(), 2);
    EXPECT_EQ(r.records.At(1).x, 11);
    EXPECT_STREQ(r.strings.At(0).Get(), "a");
    ASSERT_EQ(r.lists.GetCount(), 2);
    EXPECT_EQ(r.lists.At(1).At(0), 21);
}

TEST(SerialLoad, TagMatchingAndEndBytes) {
    // An undeclared tag straight before the end byte loads (it counts as an
    // item); tags are case-sensitive and compared up to their first zero byte.
    AllKinds r;
    Bytes body;
    body.Tag("i").Tag(std::string("I\0b", 3)).Int(4).Type(1).Tag("zz");
    EXPECT_EQ(LoadError(Model(body), r), "");
    EXPECT_EQ(r.i, 4);

    // An extra 1 after a nested structure ends the file record: the rest is never read.
    AllKinds early;
    Bytes extra;
    extra.Tag("Model").Tag("Inner").Tag("x").Int(1).Type(1).Type(1).Type(1).Tag("I").Int(9).Type(1).Raw("junk", 4);
    EXPECT_EQ(LoadError(extra.Data(), early), "");
    EXPECT_EQ(early.inner.x, 1);
    EXPECT_EQ(early.i, 0);

    // Bytes after the final end byte are ignored.
    std::vector<uint8_t> trailing = Example();
    trailing.insert(trailing.end(), {0xFF, 0x00, 0x13});
    SModelCreatorData model;
    EXPECT_EQ(LoadError(trailing, model), "");
}

TEST(SerialLoad, TheEndOfTheDataFailsTheLoadAtEveryBoundary) {
    // Every proper prefix of a valid file fails, at a type byte, a count or a value.
    std::vector<uint8_t> example = Example();
    for (size_t n = 0; n < example.size(); ++n) {
        SModelCreatorData model;
        std::vector<uint8_t> prefix(example.begin(), example.begin() + n);
        std::string error = LoadError(prefix, model);
        EXPECT_TRUE(error == "TReadStream::Read() - Cannot read past end of file" ||
                    error == "TReadStream::Read() - Read failed" ||
                    error == "CSerialDataLoad::ReadString() - Invalid file format (Length out of range)" ||
                    error == "CSerialDataLoad::ReadArray() - Invalid file format (Count out of range)")
            << n << ": " << error;
    }
}

// A record that nests itself as deep as a file asks.
struct Deep : SSerialData {
    Deep* child = nullptr;
    int32_t v = 0;
    ~Deep() override { delete child; }
    CSerialInfo* GetSerialInfo() override {
        if (!child)
            child = new Deep();
        CSerialInfo* info = new CSerialInfo();
        info->AddAttribute("Child", child);
        info->AddAttribute("v", &v);
        return info;
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
    return b.Data();
}

TEST(SerialLoad, NestingIsBounded) {
    Deep ok;
    EXPECT_EQ(LoadError(DeepFile(MaxNestingDepth - 1), ok), "");
    const Deep* leaf = &ok;
    for (int i = 0; i < MaxNestingDepth - 1; ++i)
        leaf = leaf->child;
    EXPECT_EQ(leaf->v, 1);

    Deep tooDeep;
    EXPECT_EQ(LoadError(DeepFile(MaxNestingDepth), tooDeep),
              "CSerialDataLoad::Read() - Invalid file format (Nesting too deep)");
    Deep hostile;
    EXPECT_EQ(LoadError(DeepFile(100000), hostile), "CSerialDataLoad::Read() - Invalid file format (Nesting too deep)");
}

// Writes bytes to a temporary file, removed at the end of the scope.
class TempFile {
public:
    explicit TempFile(const std::vector<uint8_t>& bytes) {
        char name[] = "/tmp/serial_load_XXXXXX";
        int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        close(fd);
        mPath = name;
    }
    ~TempFile() { std::remove(mPath.c_str()); }
    const char* Path() const { return mPath.c_str(); }

private:
    std::string mPath;
};

std::string LoadFileError(const std::vector<uint8_t>& bytes, SSerialData& record) {
    TempFile file(bytes);
    try {
        CSerialDataLoad loader(tlib::TString("%s", file.Path()));
        loader.ReadData(record, tlib::TString("Model"));
    } catch (const tlib::TException& e) {
        return e.Message();
    }
    return "";
}

TEST(SerialFileLoad, ReadsThroughTheStreamAndFailsAtItsEnd) {
    SModelCreatorData model;
    ASSERT_EQ(LoadFileError(Example(), model), "");
    EXPECT_EQ(model.materialList.At(0).power, 10.0f);

    // The file ends at the item's closing type byte: the stream's first read at
    // the end succeeds with nothing read; the loader must not act on it.
    AllKinds r;
    EXPECT_EQ(LoadFileError(Bytes().Tag("Model").Tag("I").Int(5).Data(), r),
              "TReadStream::Read() - Cannot read past end of file");
    EXPECT_EQ(r.i, 5);
    // A short read leaves no part of a value in the field.
    AllKinds partial;
    partial.i = -1;
    EXPECT_EQ(LoadFileError(Bytes().Tag("Model").Tag("I").Raw("\1\2", 2).Data(), partial),
              "TReadStream::Read() - Read failed");
    EXPECT_EQ(partial.i, -1);
    EXPECT_EQ(LoadFileError({}, r), "TReadStream::Read() - Cannot read past end of file");
    EXPECT_EQ(LoadFileError(Bytes().Type(0).Int(1 << 30).Raw("Model", 5).Data(), r),
              "CSerialDataLoad::ReadString() - Invalid file format (Length out of range)");

    try {
        CSerialDataLoad loader(tlib::TString("Data\\%s", "NoSuchModel.dat"));
        FAIL() << "opened a missing file";
    } catch (const tlib::TException& e) {
        EXPECT_STREQ(e.Message(), "TReadStream::TReadStream() - Failed to open file: 'Data\\NoSuchModel.dat'");
    }
}

} // namespace
