#pragma once
// The application icon: the red robot of the game's pictures, seen from the
// front on a rounded tile of field green, in the sizes a desktop asks for.
//
// Sizes up to 32 pixels are drawn on a grid of whole pixels (so that the
// robot stays sharp at 16); larger ones are drawn smooth. Every size is drawn
// at four times its size and reduced, which gives edges partial alpha.

#include <cstdint>
#include <string>
#include <vector>

namespace Assets {

class CIconSet {
public:
    // 16, 32, 48, 64, 128, 256.
    static const std::vector<int>& Sizes();

    // The icon of size x size pixels, 0xAARRGGBB, rows top-down; outside the
    // tile alpha is 0. Throws std::runtime_error for a size below 16.
    static std::vector<uint32_t> Build(int size);

    // Writes <outDir>/<size>x<size>/apps/<name>.png for every size (the
    // layout of an icon theme), creating the folders.
    static void WriteAll(const std::string& outDir, const std::string& name);
};

} // namespace Assets
