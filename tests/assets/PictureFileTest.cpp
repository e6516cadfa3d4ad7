// The 17 pictures as files: exact sizes and headers, the key colours used
// only where they must be, and the control panel's buttons exactly over the
// boxes that the controls test.

#include "tests/assets/AssetTestData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Spec {
    const char* name;
    int width, height;
};

const Spec kPictures[17] = {
    {"Cursor.bmp", 64, 64},      {"n0.bmp", 21, 23},         {"n1.bmp", 12, 23},          {"n2.bmp", 18, 23},
    {"n3.bmp", 18, 23},          {"n4.bmp", 21, 23},         {"n5.bmp", 18, 23},          {"n6.bmp", 21, 23},
    {"n7.bmp", 20, 23},          {"n8.bmp", 21, 23},         {"n9.bmp", 21, 23},          {"Title.bmp", 549, 218},
    {"Energy.bmp", 96, 96},      {"ControlUI.bmp", 256, 768}, {"HelpText.bmp", 599, 212},
    {"LoseScreen.bmp", 1024, 768}, {"WinScreen.bmp", 1024, 768},
};

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kMagenta = 0xFF00FF;

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8; }

// Pixels of a bitmap as the game reads them: rows bottom-up from byte 54,
// blue-green-red, rows padded to 4 bytes. Returned top row first, 0xRRGGBB.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

Picture Decode(const std::vector<uint8_t>& bytes, int width, int height)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.pixels.resize(size_t(width) * height);
    size_t row = (size_t(width) * 3 + 3) / 4 * 4;
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x) {
            size_t at = 54 + size_t(r) * row + size_t(x) * 3;
            p.pixels[size_t(height - 1 - r) * width + x] = uint32_t(bytes[at + 2]) << 16 | uint32_t(bytes[at + 1]) << 8 | bytes[at];
        }
    return p;
}

Picture Load(const char* name, int width, int height)
{
    return Decode(assettest::ReadFileBytes(assettest::DataPath(name)), width, height);
}

bool Opaque(uint32_t c) { return c != kWhite && c != kMagenta; }

// A colour the eye takes for white, or for the magenta key, without being
// the key: an anti-aliased fringe left opaque.
bool NearKey(uint32_t c)
{
    int r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
    bool nearWhite = r >= 0xE0 && g >= 0xE0 && b >= 0xE0;
    bool nearMagenta = r >= 0xE0 && g <= 0x30 && b >= 0xE0;
    return Opaque(c) && (nearWhite || nearMagenta);
}

} // namespace

TEST(PictureFiles, EveryPictureHasItsSizeAndStandardHeaders)
{
    for (const Spec& s : kPictures) {
        SCOPED_TRACE(s.name);
        std::vector<uint8_t> b = assettest::ReadFileBytes(assettest::DataPath(s.name));
        uint32_t row = (uint32_t(s.width) * 3 + 3) / 4 * 4;
        ASSERT_EQ(b.size(), 54 + size_t(row) * s.height);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(U32(b, 2), b.size());
        EXPECT_EQ(U32(b, 6), 0u);
        EXPECT_EQ(U32(b, 10), 54u) << "pixel rows start at byte 54";
        EXPECT_EQ(U32(b, 14), 40u);
        EXPECT_EQ(U32(b, 18), uint32_t(s.width));
        EXPECT_EQ(U32(b, 22), uint32_t(s.height)) << "positive height: bottom-up rows";
        EXPECT_EQ(U16(b, 26), 1u);
        EXPECT_EQ(U16(b, 28), 24u);
        EXPECT_EQ(U32(b, 30), 0u) << "uncompressed";
        EXPECT_EQ(U32(b, 34), row * uint32_t(s.height));
        EXPECT_EQ(U32(b, 46), 0u) << "no colour table";
        for (int r = 0; r < s.height; ++r)
            for (uint32_t pad = uint32_t(s.width) * 3; pad < row; ++pad)
                ASSERT_EQ(b[54 + size_t(r) * row + pad], 0) << "row filler of row " << r;
    }
}

TEST(PictureFiles, NoOpaquePixelIsNearlyAKeyColour)
{
    for (const Spec& s : kPictures) {
        Picture p = Load(s.name, s.width, s.height);
        int fringes = 0, opaque = 0;
        for (uint32_t c : p.pixels) {
            fringes += NearKey(c);
            opaque += Opaque(c);
        }
        EXPECT_EQ(fringes, 0) << s.name;
        EXPECT_GT(opaque, s.width * s.height / 25) << s.name << " is nearly empty";
    }
}

TEST(PictureFiles, FullScreenPicturesAreOpaqueAndTellTheOutcomesApart)
{
    Picture lose = Load("LoseScreen.bmp", 1024, 768), win = Load("WinScreen.bmp", 1024, 768);
    for (const Picture* p : {&lose, &win})
        for (uint32_t c : p->pixels)
            ASSERT_TRUE(Opaque(c)) << "an end picture covers the whole screen";
    EXPECT_NE(lose.pixels, win.pixels);
}

TEST(PictureFiles, CursorTipIsTheTopLeftPixelAndTheArrowStaysNearIt)
{
    Picture p = Load("Cursor.bmp", 64, 64);
    EXPECT_TRUE(Opaque(p.At(0, 0)));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (Opaque(p.At(x, y))) {
                EXPECT_TRUE(x < 32 && y < 40) << "opaque pixel at " << x << "," << y;
            }
}

TEST(PictureFiles, DigitsAreDistinctAndVerticallyCentred)
{
    const int widths[10] = {21, 12, 18, 18, 21, 18, 21, 20, 21, 21};
    std::vector<std::vector<uint32_t>> seen;
    for (int d = 0; d < 10; ++d) {
        std::string name = "n" + std::to_string(d) + ".bmp";
        Picture p = Load(name.c_str(), widths[d], 23);
        int top = 23, bottom = -1;
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < widths[d]; ++x)
                if (Opaque(p.At(x, y)))
                    top = std::min(top, y), bottom = std::max(bottom, y);
        EXPECT_GE(bottom - top + 1, 18) << name << ": digits fill their height";
        EXPECT_LE(std::abs(top - (22 - bottom)), 2) << name;
        for (const auto& other : seen)
            EXPECT_NE(other, p.pixels) << name;
        seen.push_back(p.pixels);
    }
}

// The boxes the controls test, in panel pixels (x - 768), both ends inclusive.
TEST(PictureFiles, ControlPanelButtonsCoverTheirHitBoxesAndThePadGapsAreNotButtons)
{
    Picture p = Load("ControlUI.bmp", 256, 768);
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

    // Each button is framed: its outermost ring is one colour, distinct from
    // what lies just outside it.
    for (const Box& b : buttons) {
        uint32_t rim = p.At(b.x0, b.y0);
        for (int x = b.x0; x <= b.x1; ++x)
            EXPECT_EQ(p.At(x, b.y0), rim) << b.name;
        EXPECT_NE(p.At(b.x0 - 1, b.y0), rim) << b.name;
        EXPECT_NE(p.At(b.x1 + 1, b.y1), rim) << b.name;
    }

    // The pad: x 797..994, y 170..334 on the screen; a press counts where
    // (x - 797) % 75 < 48 and (y - 169) % 59 < 48.
    uint32_t rim = p.At(29, 170);
    int gapPixels = 0;
    for (int y = 170; y <= 334; ++y) {
        for (int x = 29; x <= 226; ++x) {
            int px = x - 29, py = y - 169;
            bool button = px % 75 < 48 && py % 59 < 48;
            if (button) {
                ASSERT_TRUE(Opaque(p.At(x, y))) << "pad button hole at " << x << "," << y;
            } else {
                ++gapPixels;
                ASSERT_EQ(p.At(x, y), kMagenta) << "the pad gap at " << x << "," << y << " looks like a button";
            }
        }
    }
    EXPECT_GT(gapPixels, 0);
    // The nine pad buttons share the frame colour of the others.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(p.At(29 + 75 * c, 170 + 59 * r), rim);
    EXPECT_EQ(p.At(29, 44), rim);
    // Each pad icon differs: eight directions and the attracting centre.
    std::vector<std::vector<uint32_t>> icons;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            std::vector<uint32_t> icon;
            for (int y = 169 + 59 * r; y < 169 + 59 * r + 48; ++y)
                for (int x = 29 + 75 * c; x < 29 + 75 * c + 48; ++x)
                    icon.push_back(p.At(x, y));
            for (const auto& other : icons)
                EXPECT_NE(other, icon) << "pad button " << r << "," << c;
            icons.push_back(icon);
        }
}

TEST(PictureFiles, HudPicturesLeaveTheirSurroundingsTransparent)
{
    // Where the picture must vanish (outside the round icon, outside the
    // panel's plate, around the cursor arrow), the pixel is exactly white.
    EXPECT_EQ(Load("Energy.bmp", 96, 96).At(0, 0), kWhite);
    Picture panel = Load("ControlUI.bmp", 256, 768);
    EXPECT_EQ(panel.At(128, 700), kWhite) << "below the panel's plate the game shows through";
    EXPECT_EQ(panel.At(0, 0), kWhite);
    EXPECT_EQ(Load("Cursor.bmp", 64, 64).At(63, 63), kWhite);
    const int widths[10] = {21, 12, 18, 18, 21, 18, 21, 20, 21, 21};
    for (int d = 0; d < 10; ++d) {
        std::string name = "n" + std::to_string(d) + ".bmp";
        Picture p = Load(name.c_str(), widths[d], 23);
        EXPECT_EQ(p.At(0, 0), kWhite) << name;
        EXPECT_EQ(p.At(widths[d] - 1, 22), kWhite) << name;
    }
}
