// tavrin-shot end to end: runs the built tool in the build folder (where the
// Data folder is), decodes its three pictures and checks pixels that only a correct frame puts there: the loading
// screen's title and percentage, the map square with the control panel and
// HUD, the walk view's sky and ground.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "engine/PngFile.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, the top row first
    // The share of the rectangle's pixels (inclusive) that differ from the
    // frame's clear colour.
    double Drawn(int x0, int y0, int x1, int y1) const
    {
        int drawn = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                drawn += (pixels[size_t(y) * width + x] & 0xFFFFFFu) != 0x3668D8u;
        return double(drawn) / ((x1 - x0 + 1) * (y1 - y0 + 1));
    }
};

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
        std::string error;
        ASSERT_TRUE(Orvel::ReadPngFile(out + "/" + names[i] + ".png", pictures[i].width, pictures[i].height,
                                       pictures[i].pixels, &error))
            << error;
        ASSERT_EQ(std::make_pair(pictures[i].width, pictures[i].height), std::make_pair(1024, 768)) << names[i];
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
        EXPECT_GE(drawn, c.least) << c.what;
        EXPECT_LE(drawn, c.most) << c.what;
    }
}

} // namespace
