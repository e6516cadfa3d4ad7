#pragma once
// A minimal PNG encoder for screenshots: 8-bit RGB, no filtering, the image
// data zlib-wrapped in stored (uncompressed) deflate blocks. Files are larger
// than a compressing encoder's but every PNG reader accepts them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace shot {

// CRC-32 (ISO 3309, the PNG chunk checksum) of `size` bytes, continuing from
// `crc` (start with 0).
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// Adler-32 (the zlib stream checksum) of `size` bytes, continuing from
// `adler` (start with 1).
uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler = 1);

// The bytes of a PNG file for a width x height image given as rows of RGB
// triples, top row first, `rgb` holding width * height * 3 bytes.
std::vector<uint8_t> EncodePng(int width, int height, const uint8_t* rgb);

// Writes EncodePng's bytes to `path`; raises tlib::TException when the file
// cannot be written.
void WritePng(const std::string& path, int width, int height, const uint8_t* rgb);

} // namespace shot
