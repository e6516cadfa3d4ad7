#include "serial/CSerialArrayBase.h"

#include "tlib/TException.h"

namespace SerialLib {

CSerialArrayBase& CSerialArrayBase::operator=(const CSerialArrayBase& other) {
    if (other.mKind != mKind)
        throw tlib::TException("CSerialArrayBase::operator =() - Cannot assign to an array of different type");
    return *this;
}

SSerialData* CSerialArrayBase::RecordOf(void*) const { return nullptr; }
CSerialArrayBase* CSerialArrayBase::ArrayOf(void*) const { return nullptr; }
ISerialString* CSerialArrayBase::StringOf(void*) const { return nullptr; }

} // namespace SerialLib
