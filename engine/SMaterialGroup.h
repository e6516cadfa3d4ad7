#pragma once
// A run of faces in drawing order that share one material.

#include <cstdint>

namespace Orvel {

struct SMaterialGroup {
    int32_t primitiveType; // always D3DPT_TRIANGLEFAN
    int32_t material;      // number in the model's material list, or -1: the default material
    int32_t firstFace;     // drawing positions, both inclusive
    int32_t lastFace;
};

} // namespace Orvel
