#include "serial/CSerialDataWrite.h"

#include "serial/CSerialArrayBase.h"
#include "serial/CSerialInfo.h"
#include "serial/ISerialString.h"
#include "serial/SSerialData.h"
#include "serial/SerialFormat.h"
#include "tlib/TException.h"

#include <cstdio>
#include <cstring>
#include <memory>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "values are stored in the file's little-endian order");

namespace SerialLib {

namespace {

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : mDepth(depth) {
        if (mDepth >= MaxNestingDepth)
            throw tlib::TException("CSerialDataWrite::Write() - Nesting too deep");
        ++mDepth;
    }
    ~DepthGuard() { --mDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& mDepth;
};

bool IsEmptyText(const char* text) { return !text || !text[0]; }

} // namespace

std::vector<uint8_t> CSerialDataWrite::Write(SSerialData& record, const char* name) {
    mOut.clear();
    mDepth = 0;
    WriteByte(ItemBegin);
    WriteString(name);
    if (WriteItems(record) == 0)
        throw tlib::TException("CSerialDataWrite::Write() - Record '%s' has nothing to write", name);
    WriteByte(ItemEnd);
    return std::move(mOut);
}

int CSerialDataWrite::WriteItems(SSerialData& record) {
    DepthGuard depth(mDepth);
    std::unique_ptr<CSerialInfo> info(record.GetSerialInfo());
    int written = 0;
    for (int i = 0; i < info->Count(); ++i) {
        const CAttribute& attribute = info->Item(i);
        const char* name = attribute.name.Text();
        if (IsEmptyText(name))
            throw tlib::TException("CSerialDataWrite::Write() - Empty attribute name");
        if (info->Find(name) != &attribute)
            continue; // shadowed by an earlier attribute of the same name
        const void* target = attribute.target;
        size_t start = mOut.size();
        WriteByte(ItemBegin);
        WriteString(name);
        switch (attribute.kind) {
        case AttributeKind::Structure:
            // The nested structure's end byte also ends the item.
            if (WriteItems(*static_cast<SSerialData*>(attribute.target)) == 0) {
                mOut.resize(start);
                continue;
            }
            WriteByte(ItemEnd);
            ++written;
            continue;
        case AttributeKind::Int:
        case AttributeKind::Float: WriteBytes(target, 4); break;
        case AttributeKind::Double: WriteBytes(target, 8); break;
        case AttributeKind::Byte:
        case AttributeKind::Char: WriteBytes(target, 1); break;
        case AttributeKind::String: {
            const char* text = static_cast<const ISerialString*>(target)->Get();
            if (IsEmptyText(text)) {
                mOut.resize(start);
                continue;
            }
            WriteString(text);
            break;
        }
        case AttributeKind::Array: {
            const CSerialArrayBase& array = *static_cast<const CSerialArrayBase*>(target);
            if (array.GetCount() == 0) {
                mOut.resize(start);
                continue;
            }
            WriteArray(array);
            break;
        }
        default:
            throw tlib::TException("CSerialDataWrite::Write() - Invalid attribute kind %d", int(attribute.kind));
        }
        WriteByte(ItemEnd);
        ++written;
    }
    return written;
}

void CSerialDataWrite::WriteArray(const CSerialArrayBase& array) {
    DepthGuard depth(mDepth);
    int count = array.GetCount();
    int width = ScalarWidth(array.Kind());
    if (width > 0 && count == 0)
        throw tlib::TException("CSerialDataWrite::Write() - An empty array of scalars cannot be written here");
    WriteByte(ArrayBegin);
    WriteInt(count);
    if (width > 0) {
        const void* data = array.GetData();
        if (data) {
            WriteBytes(data, size_t(count) * size_t(width));
        } else {
            for (int i = 0; i < count; ++i)
                WriteBytes(array.Item(i), size_t(width));
        }
    } else {
        for (int i = 0; i < count; ++i)
            WriteElement(array, i);
    }
    WriteByte(ArrayEnd);
}

void CSerialDataWrite::WriteElement(const CSerialArrayBase& array, int index) {
    // Writing only reads the element; the views are non-const because a
    // record's description is.
    void* item = const_cast<void*>(array.Item(index));
    switch (array.Kind()) {
    case AttributeKind::Structure: {
        SSerialData* record = array.RecordOf(item);
        if (!record)
            throw tlib::TException("CSerialDataWrite::Write() - Array elements are not records");
        WriteByte(ElementBegin);
        if (WriteItems(*record) == 0)
            throw tlib::TException("CSerialDataWrite::Write() - An empty record cannot be written as an array element");
        WriteByte(ElementEnd);
        break;
    }
    case AttributeKind::String: {
        const ISerialString* string = array.StringOf(item);
        if (!string)
            throw tlib::TException("CSerialDataWrite::Write() - Array elements are not strings");
        if (IsEmptyText(string->Get()))
            throw tlib::TException("CSerialDataWrite::Write() - An empty string cannot be written as an array element");
        WriteString(string->Get());
        break;
    }
    case AttributeKind::Array: {
        const CSerialArrayBase* inner = array.ArrayOf(item);
        if (!inner)
            throw tlib::TException("CSerialDataWrite::Write() - Array elements are not arrays");
        WriteArray(*inner);
        break;
    }
    default:
        throw tlib::TException("CSerialDataWrite::Write() - Invalid array kind %d", int(array.Kind()));
    }
}

void CSerialDataWrite::WriteString(const char* text) {
    if (IsEmptyText(text))
        throw tlib::TException("CSerialDataWrite::Write() - Empty name");
    size_t length = std::strlen(text);
    if (length > INT32_MAX)
        throw tlib::TException("CSerialDataWrite::Write() - String too long");
    WriteInt(int32_t(length));
    WriteBytes(text, length);
}

void CSerialDataWrite::WriteBytes(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    mOut.insert(mOut.end(), bytes, bytes + size);
}

std::vector<uint8_t> WriteSerialData(SSerialData& record, const char* name) {
    CSerialDataWrite writer;
    return writer.Write(record, name);
}

void WriteSerialFile(const char* path, SSerialData& record, const char* name) {
    std::vector<uint8_t> bytes = WriteSerialData(record, name);
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        throw tlib::TException("Cannot write file: '%s'", path);
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        throw tlib::TException("Cannot write file: '%s'", path);
}

} // namespace SerialLib
