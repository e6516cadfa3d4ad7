#pragma once
// Turns a built mesh into the model record of the data files: positions and
// one unit normal per face as flat float lists, face lists in fan order, per
// face vertex the number of its face's normal, the materials, and one
// material number per face. Scale is 1.

#include "tools/assets/CMeshBuilder.h"

#include <cstdint>
#include <vector>

namespace SerialLib {
class SModelCreatorData;
}

namespace Assets {

class CModelRecord {
public:
    static void Fill(const CMeshBuilder& mesh, SerialLib::SModelCreatorData& record);
    // The bytes of a model file: the record under the top tag "Model".
    static std::vector<uint8_t> Encode(const CMeshBuilder& mesh);
};

} // namespace Assets
