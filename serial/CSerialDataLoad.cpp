#include "serial/CSerialDataLoad.h"

#include "serial/CSerialArrayBase.h"
#include "serial/CSerialInfo.h"
#include "serial/CSerialStringBase.h"
#include "serial/ISerialString.h"
#include "serial/SSerialData.h"
#include "serial/SerialFormat.h"
#include "tlib/TException.h"
#include "tlib/TReadStream.h"
#include "tlib/TString.h"

#include <cstring>
#include <memory>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "values are stored in the file's little-endian order");

namespace SerialLib {

namespace {

// Counts one level of nesting for as long as it lives.
class DepthGuard {
public:
    DepthGuard(int& depth, const char* overflowMessage) : mDepth(depth) {
        if (mDepth >= MaxNestingDepth)
            throw tlib::TException("%s", overflowMessage);
        ++mDepth;
    }
    ~DepthGuard() { --mDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& mDepth;
};

// Owns an element obtained from an array's NewItem.
struct ElementDeleter {
    const CSerialArrayBase* array;
    void operator()(void* item) const { array->DeleteItem(item); }
};
using ElementPtr = std::unique_ptr<void, ElementDeleter>;

// Bytes that one element of an array of the given kind takes in a file at
// the least, as far as a count can be judged before its elements are read: a
// scalar its width, anything else at least one byte.
int64_t MinElementBytes(AttributeKind kind) {
    int width = ScalarWidth(kind);
    return width > 0 ? width : 1;
}

} // namespace

CSerialDataLoad::CSerialDataLoad(const tlib::TString& path)
    : mStream(nullptr), mStreamSize(0), mStreamRead(0), mDepth(0) {
    mStream = new tlib::TReadStream(path, true);
    mStreamSize = mStream->Size();
}

CSerialDataLoad::CSerialDataLoad() : mStream(nullptr), mStreamSize(0), mStreamRead(0), mDepth(0) {}

CSerialDataLoad::~CSerialDataLoad() { delete mStream; }

void CSerialDataLoad::ReadBytes(void* buffer, int length) {
    if (!mStream)
        throw tlib::TException("CSerialDataLoad::ReadBytes() - No byte source");
    mStream->Read(buffer, length);
    // The stream answers the first read at the end with success and an
    // untouched buffer; never act on bytes that were not read.
    if (mStream->Eof())
        throw tlib::TException("TReadStream::Read() - Cannot read past end of file");
    mStreamRead += length;
}

int64_t CSerialDataLoad::BytesLeft() const {
    if (!mStream)
        return 0;
    int64_t left = mStreamSize - mStreamRead;
    return left > 0 ? left : 0;
}

uint8_t CSerialDataLoad::ReadType() {
    uint8_t type;
    ReadBytes(&type, 1);
    return type;
}

int32_t CSerialDataLoad::ReadCount() {
    int32_t value;
    ReadBytes(&value, 4);
    return value;
}

void CSerialDataLoad::ReadData(SSerialData& record, const tlib::TString& name) {
    ReadData(record, name.Text());
}

void CSerialDataLoad::ReadData(SSerialData& record, const char* name) {
    if (ReadType() != ItemBegin)
        throw tlib::TException("CSerialDataLoad::ReadData() - Invalid file format (Type != 0)");
    CStringCtnr tag = ReadString();
    if (!tag.Equals(name))
        throw tlib::TException("CSerialDataLoad::ReadData() - Invalid file format (FirstTag != name)");
    Read(&record, ItemEnd);
}

void CSerialDataLoad::Read(SSerialData* record, uint8_t endByte) {
    DepthGuard depth(mDepth, "CSerialDataLoad::Read() - Invalid file format (Nesting too deep)");
    std::unique_ptr<CSerialInfo> info(record->GetSerialInfo());
    int items = 0;
    for (;;) {
        uint8_t type = ReadType();
        if (type == endByte) {
            if (items == 0)
                throw tlib::TException("CSerialDataLoad::Read() - Invalid file format (Empty structure)");
            return;
        }
        ++items; // an undeclared tag counts too
        if (type != ItemBegin)
            throw tlib::TException("CSerialDataLoad::Read() - Invalid file format (Type != 0)");
        CStringCtnr tag = ReadString();
        const CAttribute* attribute = info->Find(tag.Text());
        if (!attribute)
            continue; // not skippable: the next byte is read as a type byte
        void* target = attribute->target;
        switch (attribute->kind) {
        case AttributeKind::Structure:
            // The nested structure's end byte also ends the item.
            Read(static_cast<SSerialData*>(target), ItemEnd);
            continue;
        case AttributeKind::Int:
        case AttributeKind::Float:
        case AttributeKind::Double:
        case AttributeKind::Byte:
        case AttributeKind::Char: {
            // Through a local copy: a short read must not leave part of a
            // value in the field.
            uint8_t value[8];
            int width = ScalarWidth(attribute->kind);
            ReadBytes(value, width);
            std::memcpy(target, value, size_t(width));
            break;
        }
        case AttributeKind::String: {
            CStringCtnr text = ReadString();
            static_cast<ISerialString*>(target)->Set(text.Text());
            break;
        }
        case AttributeKind::Array: ReadArray(static_cast<CSerialArrayBase*>(target)); break;
        default:
            throw tlib::TException("CSerialDataLoad::Read() - Invalid attribute kind %d", int(attribute->kind));
        }
        if (ReadType() != ItemEnd)
            throw tlib::TException("CSerialDataLoad::Read() - Invalid file format (Type != 1)");
    }
}

void CSerialDataLoad::ReadArray(CSerialArrayBase* array) {
    DepthGuard depth(mDepth, "CSerialDataLoad::ReadArray() - Invalid file format (Nesting too deep)");
    if (ReadType() != ArrayBegin)
        throw tlib::TException("CSerialDataLoad::ReadArray() - Invalid file format (Type != 2)");
    int32_t count = ReadCount();
    AttributeKind kind = array->Kind();
    if (count < 0 || int64_t(count) * MinElementBytes(kind) > BytesLeft())
        throw tlib::TException("CSerialDataLoad::ReadArray() - Invalid file format (Count out of range)");
    int width = ScalarWidth(kind);
    if (width == 0) {
        for (int32_t i = 0; i < count; ++i)
            ReadArrayItem(array);
    } else {
        // One read for the whole run; a count of 0 is refused by the source.
        // One read takes at most INT32_MAX bytes, which a file over 2 GiB
        // could pass the bound above with.
        int64_t bytes = int64_t(count) * width;
        if (bytes > INT32_MAX)
            throw tlib::TException("CSerialDataLoad::ReadArray() - Invalid file format (Count out of range)");
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[bytes > 0 ? bytes : 1]);
        ReadBytes(count > 0 ? buffer.get() : nullptr, int(bytes));
        array->SetItems(buffer.get(), count);
    }
    if (ReadType() != ArrayEnd)
        throw tlib::TException("CSerialDataLoad::ReadArray() - Invalid file format (Type != 3)");
}

void CSerialDataLoad::ReadArrayItem(CSerialArrayBase* array) {
    switch (array->Kind()) {
    case AttributeKind::Structure: {
        if (ReadType() != ElementBegin)
            throw tlib::TException("CSerialDataLoad::ReadArrayItem() - Invalid file format (Type != 4)");
        ElementPtr element(array->NewItem(), ElementDeleter{array});
        SSerialData* record = array->RecordOf(element.get());
        if (!record)
            throw tlib::TException("CSerialDataLoad::ReadArrayItem() - Array elements are not records");
        Read(record, ElementEnd);
        array->AddItem(element.get());
        break;
    }
    case AttributeKind::String: {
        CStringCtnr text = ReadString();
        CSerialStringBase element(text.Text());
        array->AddItem(&element);
        break;
    }
    case AttributeKind::Array: {
        ElementPtr element(array->NewItem(), ElementDeleter{array});
        CSerialArrayBase* inner = array->ArrayOf(element.get());
        if (!inner)
            throw tlib::TException("CSerialDataLoad::ReadArrayItem() - Array elements are not arrays");
        ReadArray(inner);
        array->AddItem(element.get()); // the copy shares the element's storage
        break;
    }
    default:
        throw tlib::TException("CSerialDataLoad::ReadArrayItem() - Invalid array kind %d", int(array->Kind()));
    }
}

CStringCtnr CSerialDataLoad::ReadString() {
    int32_t length = ReadCount();
    if (length < 0 || length > BytesLeft())
        throw tlib::TException("CSerialDataLoad::ReadString() - Invalid file format (Length out of range)");
    std::unique_ptr<char[]> text(new char[size_t(length) + 1]);
    // A length of 0 is refused by the source: a string of length 0 cannot be read.
    ReadBytes(length > 0 ? text.get() : nullptr, length);
    text[length] = 0;
    return CStringCtnr::Adopt(text.release());
}

} // namespace SerialLib
