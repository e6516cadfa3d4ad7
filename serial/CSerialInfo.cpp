#include "serial/CSerialInfo.h"

#include "serial/CSerialArrayBase.h"
#include "serial/ISerialString.h"
#include "serial/SSerialData.h"

namespace SerialLib {

void CSerialInfo::AddAttribute(AttributeKind kind, const char* name, void* target) {
    mAttributes.Append(CAttribute(kind, CStringCtnr(name), target));
}

void CSerialInfo::AddAttribute(const char* name, SSerialData* target) {
    AddAttribute(AttributeKind::Structure, name, static_cast<void*>(target));
}
void CSerialInfo::AddAttribute(const char* name, int32_t* target) {
    AddAttribute(AttributeKind::Int, name, static_cast<void*>(target));
}
void CSerialInfo::AddAttribute(const char* name, uint8_t* target) {
    AddAttribute(AttributeKind::Byte, name, static_cast<void*>(target));
}
void CSerialInfo::AddAttribute(const char* name, float* target) {
    AddAttribute(AttributeKind::Float, name, static_cast<void*>(target));
}
void CSerialInfo::AddAttribute(const char* name, double* target) {
    AddAttribute(AttributeKind::Double, name, static_cast<void*>(target));
}
void CSerialInfo::AddAttribute(const char* name, char* target) {
    AddAttribute(AttributeKind::Char, name, static_cast<void*>(target));
}
void CSerialInfo::AddAttribute(const char* name, ISerialString* target) {
    AddAttribute(AttributeKind::String, name, static_cast<void*>(target));
}
void CSerialInfo::AddAttribute(const char* name, CSerialArrayBase* target) {
    AddAttribute(AttributeKind::Array, name, static_cast<void*>(target));
}

const CAttribute* CSerialInfo::Find(const char* name) const {
    int count = mAttributes.Count();
    for (int i = 0; i < count; ++i) {
        const CAttribute& attribute = mAttributes.Item(i);
        if (attribute.name.Equals(name))
            return &attribute;
    }
    return nullptr;
}

} // namespace SerialLib
