// tavrin-shot end to end: runs the built tool in the build folder (where the
// Data folder is), decodes its three pictures with zlib (which also checks
// the chunk CRCs and the stream's Adler-32 across its many stored blocks)
// and checks pixels
// that only a correct frame puts there: the loading screen's title and
// percentage, the map square with the control panel and HUD, the walk
// view's sky and ground.

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kClear = 0x3668D8; // the frame's clear colour

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    uint32_t At(int x, int y) const
    {
        const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
        return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    bool IsClear(int x, int y) const { return At(x, y) == kClear; }
    // Whether any pixel of the rectangle differs from the clear colour.
    bool AnyDrawn(int x0, int y0, int x1, int y1) const
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (!IsClear(x, y))
                    return true;
        return false;
    }
};

uint32_t BE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Reads an 8-bit RGB PNG without filters (what the tool writes); false
// for a bad chunk CRC or a damaged image stream.
bool ReadPng(const std::string& path, Picture& picture)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    std::vector<uint8_t> z;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length = BE32(&bytes[at]);
        if (at + 12 + length > bytes.size() ||
            BE32(&bytes[at + 8 + length]) != static_cast<uint32_t>(crc32(0L, &bytes[at + 4], length + 4)))
            return false;
        const std::string type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        if (type == "IHDR") {
            picture.width = static_cast<int>(BE32(&bytes[at + 8]));
            picture.height = static_cast<int>(BE32(&bytes[at + 12]));
        } else if (type == "IDAT") {
            z.insert(z.end(), bytes.begin() + at + 8, bytes.begin() + at + 8 + length);
        }
        at += 12 + length;
    }
    const size_t row = size_t(picture.width) * 3;
    std::vector<uint8_t> raw((row + 1) * picture.height);
    uLongf size = raw.size();
    if (picture.width <= 0 || uncompress(raw.data(), &size, z.data(), z.size()) != Z_OK || size != raw.size())
        return false;
    picture.rgb.resize(row * picture.height);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(&picture.rgb[y * row], &raw[y * (row + 1) + 1], row);
    return true;
}

TEST(ShotToolTest, WritesTheThreePicturesOfTheRealFrame)
{
    // The build folder, which holds the tool and the generated Data folder.
    const char* binary = std::getenv("TAVRIN_BINARY_DIR");
    if (binary == nullptr)
        binary = TAVRIN_BUILD_DIR;
    const std::string out = std::string(binary) + "/tests/play/shots";
    const std::string command = "cd '" + std::string(binary) + "' && rm -rf '" + out +
                                "' && ./tools/shot/tavrin-shot '" + out + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    Picture loading, map, walk;
    ASSERT_TRUE(ReadPng(out + "/loading.png", loading));
    ASSERT_TRUE(ReadPng(out + "/map.png", map));
    ASSERT_TRUE(ReadPng(out + "/walk.png", walk));
    for (const Picture* p : {&loading, &map, &walk}) {
        EXPECT_EQ(p->width, 1024);
        EXPECT_EQ(p->height, 768);
    }

    // Loading: the percentage from (256, 192), 23 high; the title centred.
    EXPECT_TRUE(loading.AnyDrawn(256, 192, 300, 214)) << "the percentage";
    EXPECT_TRUE(loading.IsClear(300, 240)) << "nothing between the number and the title";
    EXPECT_FALSE(loading.IsClear(512, 384)) << "the title";
    EXPECT_TRUE(loading.IsClear(900, 700));

    // Map: the field fills x 102..716, y 78..692 and nothing beyond, but for
    // the odd tree at its edge (rows 130..690 and columns 200..700 keep
    // clear of the HUD).
    auto drawnInColumn = [&map](int x) {
        int n = 0;
        for (int y = 130; y <= 690; ++y)
            n += map.IsClear(x, y) ? 0 : 1;
        return n / 561.0;
    };
    auto drawnInRow = [&map](int y) {
        int n = 0;
        for (int x = 200; x <= 700; ++x)
            n += map.IsClear(x, y) ? 0 : 1;
        return n / 501.0;
    };
    EXPECT_LT(drawnInColumn(100), 0.1);
    EXPECT_GT(drawnInColumn(103), 0.99);
    EXPECT_GT(drawnInColumn(716), 0.99);
    EXPECT_LT(drawnInColumn(719), 0.1);
    EXPECT_LT(drawnInRow(75), 0.2);
    EXPECT_GT(drawnInRow(77), 0.99);
    EXPECT_GT(drawnInRow(691), 0.99);
    EXPECT_LT(drawnInRow(694), 0.2);
    EXPECT_FALSE(map.IsClear(900, 200)) << "the control panel";
    EXPECT_TRUE(map.IsClear(760, 200)) << "the panel starts at x 768";
    EXPECT_FALSE(map.IsClear(80, 80)) << "the energy icon";
    EXPECT_TRUE(map.AnyDrawn(140, 68, 200, 90)) << "the energy figure";

    // Walk: sky above the field's far edge, ground and models below it.
    EXPECT_TRUE(walk.IsClear(512, 200));
    EXPECT_TRUE(walk.IsClear(900, 300));
    EXPECT_FALSE(walk.IsClear(900, 600));
    EXPECT_FALSE(walk.IsClear(80, 80)) << "the energy icon";
    EXPECT_FALSE(walk.IsClear(40, 560)) << "the help picture";
    EXPECT_TRUE(walk.IsClear(900, 200)) << "no control panel";
}

} // namespace
