#include "serial/SMaterialData.h"

#include "serial/CSerialInfo.h"

namespace SerialLib {

CSerialInfo* SMaterialData::GetSerialInfo() {
    CSerialInfo* info = new CSerialInfo();
    try {
        info->AddAttribute("Diffuse", &diffuse);
        info->AddAttribute("Ambient", &ambient);
        info->AddAttribute("Specular", &specular);
        info->AddAttribute("Emissive", &emissive);
        info->AddAttribute("Power", &power);
    } catch (...) {
        delete info;
        throw;
    }
    return info;
}

} // namespace SerialLib
