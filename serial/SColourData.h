#pragma once
// A colour of a material: four floats, 0..1 by convention. Tags "r", "g",
// "b", "a" in that order.

#include "serial/SSerialData.h"

namespace SerialLib {

class SColourData : public SSerialData {
public:
    SColourData() = default;
    SColourData(float red, float green, float blue, float alpha) : r(red), g(green), b(blue), a(alpha) {}

    CSerialInfo* GetSerialInfo() override;

    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

} // namespace SerialLib
