#pragma once
// One declared field of a record: its kind, its tag and where it lives.

#include "serial/AttributeKind.h"
#include "serial/CStringCtnr.h"

namespace SerialLib {

class CAttribute {
public:
    CAttribute() : kind(AttributeKind::Structure), target(nullptr) {}
    CAttribute(AttributeKind k, const CStringCtnr& n, void* t) : kind(k), name(n), target(t) {}

    AttributeKind kind;
    // The tag under which the field is stored in a file; copies share it.
    CStringCtnr name;
    // Not owned. Points at the member itself for the scalar kinds, and at its
    // SSerialData, ISerialString or CSerialArrayBase part for Structure,
    // String and Array.
    void* target;
};

} // namespace SerialLib
