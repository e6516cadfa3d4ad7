#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/PngFile.h"
#include "tools/assets/CIconSet.h"

using Assets::CIconSet;

// Every size (the installation test checks which): a rounded tile (corners
// clear, edges opaque) with the robot's grey head above its red body,
// symmetric left to right.
TEST(IconTest, EverySizeIsTheRobotOnItsTile)
{
    for (int size : CIconSet::Sizes()) {
        SCOPED_TRACE(size);
        const std::vector<uint32_t> icon = CIconSet::Build(size);
        ASSERT_EQ(icon.size(), static_cast<size_t>(size * size));
        auto at = [&](double u, double v) {
            return icon[static_cast<size_t>(static_cast<int>(v * size)) * size + static_cast<int>(u * size)];
        };
        for (auto [u, v] : {std::pair{0.0, 0.0}, {0.999, 0.0}, {0.0, 0.999}, {0.999, 0.999}})
            EXPECT_EQ(at(u, v) >> 24, 0u) << "corner " << u << ", " << v;
        for (auto [u, v] : {std::pair{0.5, 0.0}, {0.0, 0.5}, {0.999, 0.5}, {0.5, 0.999}})
            EXPECT_EQ(at(u, v) >> 24, 0xFFu) << "edge " << u << ", " << v;
        EXPECT_EQ(at(0.5, 0.55), 0xFFE02A1Eu) << "the red body";
        EXPECT_EQ(at(0.5, 0.4), 0xFFB4B8C4u) << "the grey head";
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size / 2; ++x)
                ASSERT_EQ(icon[y * size + x], icon[y * size + size - 1 - x]) << x << ", " << y;
    }
    EXPECT_THROW(CIconSet::Build(8), std::runtime_error);
}

// The files hold the icons as RGBA, transparency included, under
// <n>x<n>/apps/<name>.png.
TEST(IconTest, TheFilesHoldTheIconsAsRgba)
{
    char pattern[] = "/tmp/tavrin-icons-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    CIconSet::WriteAll(dir, "tavrin");
    for (int size : CIconSet::Sizes()) {
        SCOPED_TRACE(size);
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
        std::string error;
        const std::string path = dir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/tavrin.png";
        ASSERT_TRUE(Orvel::ReadPngFile(path, width, height, pixels, &error)) << error;
        EXPECT_EQ(width, size);
        EXPECT_EQ(height, size);
        EXPECT_EQ(pixels, CIconSet::Build(size));
    }
    EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
}
