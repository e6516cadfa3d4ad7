// tavrin-shot end to end: runs the built tool in the build folder (where the
// Data folder is), decodes its three pictures with zlib (which also checks
// the chunk CRCs and the stream's Adler-32 across its many stored blocks)
// and checks pixels that only a correct frame puts there: the loading
// screen's title and percentage, the map square with the control panel and
// HUD, the walk view's sky and ground.

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> raw; // rows of a filter byte (0) and RGB pixels
    // The share of the rectangle's pixels (inclusive) that differ from the
    // frame's clear colour.
    double Drawn(int x0, int y0, int x1, int y1) const
    {
        int drawn = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                drawn += std::memcmp(&raw[size_t(y) * (width * 3 + 1) + 1 + x * 3], "\x36\x68\xD8", 3) != 0;
        return double(drawn) / ((x1 - x0 + 1) * (y1 - y0 + 1));
    }
};

// Reads an 8-bit RGB PNG without filters (what the tool writes); false
// for a bad chunk CRC or a damaged image stream.
bool ReadPng(const std::string& path, Picture& picture)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    auto BE32 = [](const uint8_t* p) {
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    };
    std::vector<uint8_t> z;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length = BE32(&bytes[at]);
        if (at + 12 + length > bytes.size() ||
            BE32(&bytes[at + 8 + length]) != static_cast<uint32_t>(crc32(0L, &bytes[at + 4], length + 4)))
            return false;
        if (std::memcmp(&bytes[at + 4], "IHDR", 4) == 0) {
            picture.width = static_cast<int>(BE32(&bytes[at + 8]));
            picture.height = static_cast<int>(BE32(&bytes[at + 12]));
        } else if (std::memcmp(&bytes[at + 4], "IDAT", 4) == 0) {
            z.insert(z.end(), bytes.begin() + at + 8, bytes.begin() + at + 8 + length);
        }
        at += 12 + length;
    }
    std::vector<uint8_t>& raw = picture.raw;
    raw.resize((size_t(picture.width) * 3 + 1) * picture.height);
    uLongf size = raw.size();
    return picture.width > 0 && uncompress(raw.data(), &size, z.data(), z.size()) == Z_OK && size == raw.size();
}

TEST(ShotToolTest, WritesTheThreePicturesOfTheRealFrame)
{
    const char* binary = std::getenv("TAVRIN_BINARY_DIR"); // the build folder, with the tool and Data
    ASSERT_NE(binary, nullptr) << "run through ctest";
    const std::string out = std::string(binary) + "/tests/play/shots";
    const std::string command = "cd '" + std::string(binary) + "' && rm -rf '" + out +
                                "' && ./tools/shot/tavrin-shot '" + out + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    Picture pictures[3];
    const char* names[3] = {"loading", "map", "walk"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(ReadPng(out + "/" + names[i] + ".png", pictures[i])) << names[i];
        ASSERT_TRUE(pictures[i].width == 1024 && pictures[i].height == 768) << names[i];
    }
    const Picture &loading = pictures[0], &map = pictures[1], &walk = pictures[2];

    // Rectangles and the share of their pixels drawn over the clear colour.
    // The map's field fills x 102..716, y 78..692 and nothing beyond, but for
    // the odd tree at its edge (rows 130..690 and columns 200..700 keep clear
    // of the HUD).
    const struct {
        const Picture& picture;
        int x0, y0, x1, y1;
        double least, most;
        const char* what;
    } checks[] = {
        {loading, 256, 192, 300, 214, 1e-9, 1, "loading: the percentage from (256, 192)"},
        {loading, 512, 384, 512, 384, 1, 1, "loading: the title, centred"},
        {map, 100, 130, 100, 690, 0, 0.1, "map: left of the field"},
        {map, 103, 130, 103, 690, 0.99, 1, "map: the field's first column"},
        {map, 716, 130, 716, 690, 0.99, 1, "map: the field's last column"},
        {map, 719, 130, 719, 690, 0, 0.1, "map: right of the field"},
        {map, 200, 75, 700, 75, 0, 0.2, "map: above the field"},
        {map, 200, 77, 700, 77, 0.99, 1, "map: the field's first row"},
        {map, 200, 691, 700, 691, 0.99, 1, "map: the field's last row"},
        {map, 200, 694, 700, 694, 0, 0.2, "map: below the field"},
        {map, 900, 200, 900, 200, 1, 1, "map: the control panel"},
        {map, 760, 200, 760, 200, 0, 0, "map: the panel starts at x 768"},
        {map, 80, 80, 80, 80, 1, 1, "map: the energy icon"},
        {map, 140, 68, 200, 90, 1e-9, 1, "map: the energy figure"},
        {walk, 900, 300, 900, 300, 0, 0, "walk: the sky above the field's far edge"},
        {walk, 900, 600, 900, 600, 1, 1, "walk: ground"},
        {walk, 40, 560, 40, 560, 1, 1, "walk: the help picture"},
        {walk, 900, 200, 900, 200, 0, 0, "walk: no control panel"},
    };
    for (const auto& c : checks) {
        const double drawn = c.picture.Drawn(c.x0, c.y0, c.x1, c.y1);
        EXPECT_TRUE(drawn >= c.least && drawn <= c.most) << c.what << ": " << drawn;
    }
}

} // namespace
