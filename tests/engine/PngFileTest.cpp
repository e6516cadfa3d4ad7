// PNG files: what is written reads back as the same pixels in both kinds,
// sizes the encoder cannot take and files that are not whole PNG pictures
// are refused with a reason, and file errors name the file.

#include <gtest/gtest.h>

#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/PngFile.h"

namespace {

// Pixels that use every byte of every channel somewhere.
std::vector<uint32_t> Pattern(int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint32_t(i * 0x9E3779B1u + 0x01020304u);
    return pixels;
}

} // namespace

TEST(PngFileTest, WhatIsWrittenReadsBackAsTheSamePixels)
{
    const struct {
        int width, height;
        bool alpha;
    } pictures[] = {{1, 1, false}, {1, 1, true}, {5, 3, true}, {3, 5, false}, {1024, 768, false}, {17, 256, true}};
    for (const auto& p : pictures) {
        SCOPED_TRACE(testing::Message() << p.width << " x " << p.height << (p.alpha ? " RGBA" : " RGB"));
        const std::vector<uint32_t> pixels = Pattern(p.width, p.height);
        std::string error;
        const std::vector<uint8_t> file = Orvel::EncodePng(p.width, p.height, pixels.data(), p.alpha, &error);
        ASSERT_FALSE(file.empty()) << error;
        ASSERT_EQ(std::string(file.begin(), file.begin() + 8), "\x89PNG\r\n\x1A\n");
        EXPECT_EQ(file[25], p.alpha ? 6 : 2) << "the colour type of the header";
        int width = 0, height = 0;
        std::vector<uint32_t> read;
        ASSERT_TRUE(Orvel::DecodePng(file.data(), file.size(), width, height, read, &error)) << error;
        ASSERT_EQ(width, p.width);
        ASSERT_EQ(height, p.height);
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint32_t expected = p.alpha ? pixels[i] : pixels[i] | 0xFF000000u;
            ASSERT_EQ(read[i], expected) << "pixel " << i % p.width << ", " << i / p.width;
        }
    }
}

TEST(PngFileTest, WhatCannotBeAPictureIsRefusedWithAReason)
{
    const std::vector<uint32_t> pixels = Pattern(4, 4);
    std::string error;
    for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-1, 4}}) {
        error.clear();
        EXPECT_TRUE(Orvel::EncodePng(w, h, pixels.data(), false, &error).empty()) << w << " x " << h;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(Orvel::EncodePng(4, 4, nullptr, false, &error).empty());

    // Every cut of a good file before its last chunk (the 12 bytes of the
    // end marker, which the pixels do not need), and bytes that are no PNG.
    const std::vector<uint8_t> file = Orvel::EncodePng(4, 4, pixels.data(), true, &error);
    ASSERT_FALSE(file.empty());
    int width = 0, height = 0;
    std::vector<uint32_t> read;
    for (size_t cut = 0; cut + 12 < file.size(); ++cut) {
        error.clear();
        EXPECT_FALSE(Orvel::DecodePng(file.data(), cut, width, height, read, &error)) << "cut at " << cut;
        EXPECT_FALSE(error.empty()) << "cut at " << cut;
    }
    std::vector<uint8_t> damaged = file;
    damaged[file.size() / 2] ^= 0x55;
    EXPECT_FALSE(Orvel::DecodePng(damaged.data(), damaged.size(), width, height, read, &error));
    const std::string text = "GIF89a, not a PNG";
    EXPECT_FALSE(Orvel::DecodePng(reinterpret_cast<const uint8_t*>(text.data()), text.size(), width, height, read,
                                  &error));

    // A sound header that claims a picture of 20480 x 20480, far beyond any
    // of the game's: refused before its memory is asked for.
    std::vector<uint8_t> huge = file;
    for (size_t at : {16u, 20u}) {
        huge[at + 2] = 0x50;
        huge[at + 3] = 0x00;
    }
    const uint32_t crc = uint32_t(crc32(0, huge.data() + 12, 17));
    for (int i = 0; i < 4; ++i)
        huge[29 + i] = uint8_t(crc >> (24 - 8 * i));
    error.clear();
    EXPECT_FALSE(Orvel::DecodePng(huge.data(), huge.size(), width, height, read, &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
}

TEST(PngFileTest, FileErrorsNameTheFile)
{
    const std::vector<uint32_t> pixels = Pattern(2, 2);
    std::string error;
    EXPECT_FALSE(Orvel::WritePngFile("/nonexistent/shot.png", 2, 2, pixels.data(), false, &error));
    EXPECT_EQ(error.rfind("/nonexistent/shot.png: ", 0), 0u) << error;
    int width = 0, height = 0;
    std::vector<uint32_t> read;
    EXPECT_FALSE(Orvel::ReadPngFile("/nonexistent/shot.png", width, height, read, &error));
    EXPECT_EQ(error.rfind("/nonexistent/shot.png: ", 0), 0u) << error;

    const std::string path = "/tmp/tavrin-png-test-" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(Orvel::WritePngFile(path, 2, 2, pixels.data(), true, &error)) << error;
    ASSERT_TRUE(Orvel::ReadPngFile(path, width, height, read, &error)) << error;
    EXPECT_EQ(read, pixels);
    unlink(path.c_str());
}
