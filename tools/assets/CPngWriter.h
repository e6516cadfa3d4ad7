#pragma once
// A minimal PNG encoder for previews: 8-bit RGB, no interlace, filter 0 on
// every row, zlib-compressed.

#include "tools/assets/CBitmapImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Assets {

class CPngWriter {
public:
    static std::vector<uint8_t> Encode(const CBitmapImage& image);
    // Throws std::runtime_error when the file cannot be written.
    static void Write(const std::string& path, const CBitmapImage& image);
};

} // namespace Assets
