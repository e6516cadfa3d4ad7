#pragma once
// One material of a model; converts one to one into the device material.
// Tags "Diffuse", "Ambient", "Specular", "Emissive" (structures) and "Power"
// (float), in that order.

#include "serial/SColourData.h"
#include "serial/SSerialData.h"

namespace SerialLib {

class SMaterialData : public SSerialData {
public:
    CSerialInfo* GetSerialInfo() override;

    SColourData diffuse;
    SColourData ambient;
    SColourData specular;
    SColourData emissive;
    float power = 0.0f;
};

} // namespace SerialLib
