// The screenshot encoder's files, checked with zlib as an independent
// decoder: chunk layout and CRCs, the zlib stream across several stored
// blocks, and the pixels coming back row by row.

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tlib/TException.h"
#include "tools/shot/PngWriter.h"

namespace {

uint32_t BE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

// Splits a PNG into chunks, checking each CRC with zlib's.
std::vector<Chunk> Chunks(const std::vector<uint8_t>& png)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<Chunk> chunks;
    EXPECT_GE(png.size(), 8u);
    EXPECT_EQ(std::memcmp(png.data(), signature, 8), 0);
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = BE32(&png[at]);
        EXPECT_LE(at + 12 + length, png.size());
        Chunk c;
        c.type.assign(reinterpret_cast<const char*>(&png[at + 4]), 4);
        c.data.assign(png.begin() + at + 8, png.begin() + at + 8 + length);
        const uint32_t crc = static_cast<uint32_t>(crc32(0L, &png[at + 4], length + 4));
        EXPECT_EQ(BE32(&png[at + 8 + length]), crc) << c.type;
        chunks.push_back(c);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    return chunks;
}

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& z, size_t expected)
{
    std::vector<uint8_t> out(expected + 16);
    uLongf size = out.size();
    EXPECT_EQ(uncompress(out.data(), &size, z.data(), z.size()), Z_OK);
    out.resize(size);
    return out;
}

void ExpectRoundTrip(int width, int height)
{
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(i * 7 + i / 251);
    const std::vector<Chunk> chunks = Chunks(shot::EncodePng(width, height, rgb.data()));
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    ASSERT_EQ(chunks[0].data.size(), 13u);
    EXPECT_EQ(BE32(&chunks[0].data[0]), uint32_t(width));
    EXPECT_EQ(BE32(&chunks[0].data[4]), uint32_t(height));
    EXPECT_EQ(chunks[0].data[8], 8) << "8 bits per channel";
    EXPECT_EQ(chunks[0].data[9], 2) << "RGB";
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    EXPECT_TRUE(chunks[2].data.empty());

    const size_t row = size_t(width) * 3;
    const std::vector<uint8_t> raw = Inflate(chunks[1].data, (row + 1) * height);
    ASSERT_EQ(raw.size(), (row + 1) * height);
    for (int y = 0; y < height; ++y) {
        ASSERT_EQ(raw[y * (row + 1)], 0) << "filter of row " << y;
        ASSERT_EQ(std::memcmp(&raw[y * (row + 1) + 1], &rgb[y * row], row), 0) << "row " << y;
    }
}

TEST(PngWriterTest, TinyAndMultiBlockImagesDecodeToTheirPixels)
{
    ExpectRoundTrip(1, 1);
    ExpectRoundTrip(3, 2);
    // 1024 x 768 needs 37 stored blocks; 21845 x 1 fills one block exactly
    // (65535 bytes of pixels + the filter byte spill into a second).
    ExpectRoundTrip(1024, 768);
    ExpectRoundTrip(21845, 1);
}

TEST(PngWriterTest, ChecksumsMatchZlibs)
{
    const uint8_t text[] = "Wikipedia";
    EXPECT_EQ(shot::Adler32(text, 9), 0x11E60398u);
    EXPECT_EQ(shot::Adler32(text, 9), adler32(1L, text, 9));
    EXPECT_EQ(shot::Crc32(text, 9), static_cast<uint32_t>(crc32(0L, text, 9)));
    // Large sums wrap modulo 65521 the same way.
    std::vector<uint8_t> ones(100000, 0xFF);
    EXPECT_EQ(shot::Adler32(ones.data(), ones.size()), adler32(1L, ones.data(), ones.size()));
}

TEST(PngWriterTest, BadSizesAndUnwritablePathsAreReported)
{
    const uint8_t pixel[3] = {1, 2, 3};
    EXPECT_THROW(shot::EncodePng(0, 1, pixel), tlib::TException);
    EXPECT_THROW(shot::EncodePng(1, -1, pixel), tlib::TException);
    EXPECT_THROW(shot::WritePng("/nonexistent-folder/x.png", 1, 1, pixel), tlib::TException);
}

} // namespace
