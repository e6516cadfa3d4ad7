#include "serial/SColourData.h"

#include "serial/CSerialInfo.h"

namespace SerialLib {

CSerialInfo* SColourData::GetSerialInfo() {
    CSerialInfo* info = new CSerialInfo();
    try {
        info->AddAttribute("r", &r);
        info->AddAttribute("g", &g);
        info->AddAttribute("b", &b);
        info->AddAttribute("a", &a);
    } catch (...) {
        delete info;
        throw;
    }
    return info;
}

} // namespace SerialLib
