#pragma once
// PNG files, through Debian's libpng: the game's screenshots, the screenshot
// tool's pictures and the asset tool's previews and icons are written here,
// and the tests read them back here. Pixels are 0xAARRGGBB values, the top
// row first. Any thread; calls share nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Orvel {

// The bytes of a PNG file of width x height pixels: 8-bit RGB with the alpha
// dropped, or 8-bit RGBA when alpha is set. Empty, with *error set, for a
// size that is not positive or a failure of the encoder.
std::vector<uint8_t> EncodePng(int width, int height, const uint32_t* pixels, bool alpha, std::string* error);

// Writes EncodePng's bytes to path, replacing the file. False with *error
// set ("<path>: <reason>").
bool WritePngFile(const std::string& path, int width, int height, const uint32_t* pixels, bool alpha,
                  std::string* error);

// Decodes a PNG file of any kind libpng reads into 8-bit pixels (alpha 0xFF
// where the file has none). False with *error set for anything else, and
// for a picture wider or higher than 16384 pixels.
bool DecodePng(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint32_t>& pixels,
               std::string* error);

// Reads and decodes the file at path.
bool ReadPngFile(const std::string& path, int& width, int& height, std::vector<uint32_t>& pixels,
                 std::string* error);

} // namespace Orvel
