// The pictures as files (the game's 17 and the application's 4): exact sizes
// and headers, the key colours used only where they must be, and the control
// panel's buttons exactly over the boxes that the controls test.

#include "tests/assets/AssetTestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct SExpectedPicture {
    const char* name;
    int width, height;
};

// Entries: 0 the cursor, 1..10 the digits n0..n9, 12 the energy icon, 13 the
// control panel, 17 the pause, 18..21 the speed labels, 22 the end of a replay.
const SExpectedPicture kPictures[23] = {
    {"Cursor.bmp", 64, 64},      {"n0.bmp", 21, 23},         {"n1.bmp", 12, 23},          {"n2.bmp", 18, 23},
    {"n3.bmp", 18, 23},          {"n4.bmp", 21, 23},         {"n5.bmp", 18, 23},          {"n6.bmp", 21, 23},
    {"n7.bmp", 20, 23},          {"n8.bmp", 21, 23},         {"n9.bmp", 21, 23},          {"Title.bmp", 549, 218},
    {"Energy.bmp", 96, 96},      {"ControlUI.bmp", 256, 768}, {"HelpText.bmp", 599, 212},
    {"LoseScreen.bmp", 1024, 768}, {"WinScreen.bmp", 1024, 768},
    {"Paused.bmp", 320, 88},     {"SpeedHalf.bmp", 72, 23},  {"Speed2.bmp", 72, 23},      {"Speed4.bmp", 72, 23},
    {"Speed8.bmp", 72, 23},      {"ReplayEnd.bmp", 320, 88},
};

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kMagenta = 0xFF00FF;

size_t RowBytes(int width) { return (size_t(width) * 3 + 3) / 4 * 4; }

// Pixels of a bitmap as the game reads them: rows bottom-up from byte 54,
// blue-green-red, rows padded to 4 bytes. Kept top row first, 0xRRGGBB.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

Picture Load(const SExpectedPicture& e)
{
    std::vector<uint8_t> bytes = assettest::ReadFileBytes(assettest::DataPath(e.name));
    Picture p{e.width, e.height, {}};
    for (int y = 0; y < e.height; ++y)
        for (int x = 0; x < e.width; ++x) {
            const uint8_t* at = &bytes.at(54 + size_t(e.height - 1 - y) * RowBytes(e.width) + size_t(x) * 3);
            p.pixels.push_back(uint32_t(at[2]) << 16 | uint32_t(at[1]) << 8 | at[0]);
        }
    return p;
}

bool Opaque(uint32_t c) { return c != kWhite && c != kMagenta; }

} // namespace

TEST(PictureFiles, EveryPictureHasItsSizeAndStandardHeaders)
{
    for (const SExpectedPicture& e : kPictures) {
        SCOPED_TRACE(e.name);
        std::vector<uint8_t> b = assettest::ReadFileBytes(assettest::DataPath(e.name));
        const uint32_t row = uint32_t(RowBytes(e.width)), h = uint32_t(e.height);
        ASSERT_EQ(b.size(), 54 + size_t(row) * h);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 2), "BM");
        // File size, reserved, pixels from byte 54, a 40-byte info header,
        // width, positive height (bottom-up rows), one plane, 24 bits,
        // uncompressed, pixel bytes, no colour table.
        const struct {
            uint32_t offset, bytes, value;
        } fields[] = {{2, 4, uint32_t(b.size())}, {6, 4, 0},  {10, 4, 54},        {14, 4, 40},
                                      {18, 4, uint32_t(e.width)}, {22, 4, h}, {26, 2, 1},         {28, 2, 24},
                                      {30, 4, 0},                 {34, 4, row * h}, {46, 4, 0}};
        for (const auto& f : fields) {
            uint32_t value = 0;
            for (uint32_t i = 0; i < f.bytes; ++i)
                value |= uint32_t(b[f.offset + i]) << (8 * i);
            EXPECT_EQ(value, f.value) << "header field at byte " << f.offset;
        }
        for (uint32_t r = 0; r < h; ++r)
            for (uint32_t pad = uint32_t(e.width) * 3; pad < row; ++pad)
                ASSERT_EQ(b[54 + r * row + pad], 0) << "row filler of row " << r;
    }
}

// A colour the eye takes for white or for the magenta key without being the
// key is an anti-aliased fringe left opaque.
TEST(PictureFiles, NoOpaquePixelIsNearlyAKeyColour)
{
    for (const SExpectedPicture& e : kPictures) {
        int fringes = 0, opaque = 0;
        for (uint32_t c : Load(e).pixels) {
            int r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
            bool nearKey = r >= 0xE0 && b >= 0xE0 && (g >= 0xE0 || g <= 0x30);
            fringes += Opaque(c) && nearKey;
            opaque += Opaque(c);
        }
        EXPECT_EQ(fringes, 0) << e.name;
        EXPECT_GT(opaque, e.width * e.height / 25) << e.name << " is nearly empty";
    }
}

// Where a picture must vanish (around the round icon, the cursor arrow and the
// digits, outside the panel's plate) the pixel is exactly white; the cursor's
// tip is its top-left pixel.
TEST(PictureFiles, HudPicturesAreTransparentAroundTheirShapes)
{
    const SExpectedPicture energy = kPictures[12], panel = kPictures[13], cursor = kPictures[0];
    EXPECT_EQ(Load(energy).At(0, 0), kWhite);
    EXPECT_EQ(Load(panel).At(128, 700), kWhite) << "below the panel's plate the game shows through";
    EXPECT_EQ(Load(cursor).At(63, 63), kWhite);
    EXPECT_TRUE(Opaque(Load(cursor).At(0, 0))) << "the arrow's tip";
    for (int d = 1; d <= 10; ++d) {
        Picture p = Load(kPictures[d]);
        EXPECT_EQ(p.At(0, 0), kWhite) << kPictures[d].name;
        EXPECT_EQ(p.At(p.width - 1, 22), kWhite) << kPictures[d].name;
    }
    // The pause's plate has round corners; a speed label's text ends before
    // its right edge (nothing of "1/2x" is cut off).
    Picture paused = Load(kPictures[17]);
    EXPECT_EQ(paused.At(0, 0), kWhite);
    EXPECT_EQ(paused.At(319, 87), kWhite);
    EXPECT_TRUE(Opaque(paused.At(1, 44))) << "the plate's rim";
    for (int l = 18; l <= 21; ++l) {
        Picture p = Load(kPictures[l]);
        for (int y = 0; y < p.height; ++y)
            ASSERT_EQ(p.At(p.width - 1, y), kWhite) << kPictures[l].name << " row " << y;
    }
}

// The boxes the controls test, in panel pixels (x - 768), both ends inclusive.
TEST(PictureFiles, ControlPanelButtonsCoverTheirHitBoxesAndThePadGapsAreNotButtons)
{
    Picture p = Load(kPictures[13]);
    struct Box {
        const char* name;
        int x0, x1, y0, y1;
    };
    const Box buttons[] = {{"Robots", 29, 76, 44, 91},  {"Magnet", 104, 151, 44, 91}, {"Laser", 179, 226, 44, 91},
                           {"Eraser", 29, 76, 346, 393}, {"Clear", 104, 151, 346, 393}};
    for (const Box& b : buttons)
        for (int y = b.y0; y <= b.y1; ++y)
            for (int x = b.x0; x <= b.x1; ++x)
                ASSERT_TRUE(Opaque(p.At(x, y))) << b.name << " button has a hole at " << x << "," << y;

    // The pad: x 797..994, y 170..334 on the screen; a press counts where
    // (x - 797) % 75 < 48 and (y - 169) % 59 < 48.
    for (int y = 170; y <= 334; ++y)
        for (int x = 29; x <= 226; ++x) {
            if ((x - 29) % 75 < 48 && (y - 169) % 59 < 48)
                ASSERT_TRUE(Opaque(p.At(x, y))) << "pad button hole at " << x << "," << y;
            else
                ASSERT_EQ(p.At(x, y), kMagenta) << "the pad gap at " << x << "," << y << " looks like a button";
        }
}
