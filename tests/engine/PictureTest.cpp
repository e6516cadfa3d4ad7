#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/DXOverlay.h"
#include "engine/DXTexture.h"
#include "engine/LoadOverlay.h"
#include "tests/engine/EngineTestSupport.h"

using enginetest::Dx;
using enginetest::RaisedBy;
using Orvel::DXOverlay;
using Orvel::LoadOverlay;

namespace {

// A 24-bit bottom-up bitmap: a 54-byte header of junk (never read), then
// the rows from the bottom up, each padded with filler to a multiple of 4
// bytes. pixel(x, y) is 0xRRGGBB with y = 0 at the top.
std::vector<uint8_t> Bitmap(int width, int height, const std::function<uint32_t(int, int)>& pixel)
{
    std::vector<uint8_t> bytes(54, 0xA5);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            for (int shift : {0, 8, 16})
                bytes.push_back(static_cast<uint8_t>(pixel(x, y) >> shift));
        bytes.insert(bytes.end(), static_cast<size_t>((4 - 3 * width % 4) % 4), 0xEE);
    }
    return bytes;
}

// A colour unique to each pixel, never one of the two keys.
uint32_t Pattern(int x, int y)
{
    return static_cast<uint32_t>((x * 7 + 1) % 256 << 16 | (y * 13 + 2) << 8 | (x + y + 3) % 256);
}

TEST(NextPowerOfTwo, IsTheSmallestPowerOfTwoNotBelowN)
{
    const int cases[][2] = {{-5, 1}, {0, 1}, {1, 1}, {3, 4}, {549, 1024}, {1024, 1024}, {1025, 2048}, {1 << 30, 1 << 30}};
    for (const auto& c : cases)
        EXPECT_EQ(Orvel::NextPowerOfTwo(c[0]), c[1]) << c[0];
    EXPECT_EQ(RaisedBy([] { Orvel::NextPowerOfTwo((1 << 30) + 1); }), Dx("NextPowerOfTwo() - Value too large"));
}

class LoadOverlayTest : public enginetest::DeviceFixture {
protected:
    std::unique_ptr<DXOverlay> Load(int width, int height, bool translucent = false)
    {
        return std::unique_ptr<DXOverlay>(LoadOverlay(device.get(), "Picture.bmp", width, height, translucent));
    }
    static RecordingTexture& TextureOf(const DXOverlay& overlay)
    {
        return *static_cast<RecordingTexture*>(overlay.Texture()->Texture());
    }
    enginetest::ScratchFolder folder;
};

TEST_F(LoadOverlayTest, KeysColoursAndFlipsRowsIntoATransparentPowerOfTwoTexture)
{
    // White, magenta and the file's last pixel on top; its first, a near white and one more below.
    const uint32_t rows[2][3] = {{0xFFFFFF, 0xFF00FF, 0x28323C}, {0x0A141E, 0xFEFFFF, 0x010203}};
    folder.WriteData("Picture.bmp", Bitmap(3, 2, [&](int x, int y) { return rows[y][x]; }));
    for (uint32_t alpha : {0xFF000000u, 0xCF000000u}) {
        auto overlay = Load(3, 2, alpha == 0xCF000000u);
        RecordingTexture& texture = TextureOf(*overlay);
        EXPECT_EQ(texture.Pool(), D3DPOOL_DEFAULT);
        EXPECT_EQ(std::vector<int>({overlay->Width(), overlay->Height(), overlay->TextureWidth(),
                                    overlay->TextureHeight()}),
                  std::vector<int>({3, 2, 4, 2}));
        const uint32_t expected[2][4] = {{0x00FFFFFF, 0x7F7F7F7F, alpha | rows[0][2], 0x00FFFFFF},
                                         {alpha | rows[1][0], alpha | rows[1][1], alpha | rows[1][2], 0x00FFFFFF}};
        for (UINT y = 0; y < 2; ++y)
            for (UINT x = 0; x < 4; ++x)
                EXPECT_EQ(texture.Texel(x, y), expected[y][x]) << std::hex << alpha << " at " << x << ", " << y;
    }
}

TEST_F(LoadOverlayTest, RowFillerIsSkippedAndRowsAreWrittenAtTheTexturePitch)
{
    Log().SetTexturePitchPadding(12);
    for (int width : {64, 1, 18, 21, 12, 5}) { // 0, 1, 2 or 3 filler bytes
        folder.WriteData("Picture.bmp", Bitmap(width, 3, Pattern));
        auto overlay = Load(width, 3);
        RecordingTexture& texture = TextureOf(*overlay);
        for (int y = 0; y < static_cast<int>(texture.Height()); ++y)
            for (int x = 0; x < static_cast<int>(texture.Width()); ++x)
                ASSERT_EQ(texture.Texel(static_cast<UINT>(x), static_cast<UINT>(y)),
                          x < width && y < 3 ? 0xFF000000 | Pattern(x, y) : 0x00FFFFFF)
                    << width << " wide, at " << x << ", " << y;
    }
}

TEST_F(LoadOverlayTest, AFileThatEndsBeforeItsRowsRaisesTheStreamErrorAndCreatesNothing)
{
    const std::vector<uint8_t> whole = Bitmap(5, 4, Pattern); // rows of 15 + 1 filler bytes
    const std::string pastEnd = "TException TReadStream::Read() - Cannot read past end of file";
    const std::pair<long, std::string> cases[] = {
        {54 + 3 * 16, pastEnd},                                   // the top row is missing
        {54 + 3 * 16 + 7, "TException TReadStream::Read() - Read failed"}, // ends inside the top row
        {54 + 2 * 16 + 15, pastEnd},                              // ends in a filler
        {20, pastEnd},                                            // shorter than the headers
        {0, pastEnd},
        {54 + 3 * 16 + 15, "nothing"}, // only the last filler is missing: it is skipped, never read
    };
    for (const auto& [keep, outcome] : cases) {
        folder.WriteData("Picture.bmp", std::vector<uint8_t>(whole.begin(), whole.begin() + keep));
        EXPECT_EQ(RaisedBy([&] { Load(5, 4); }), outcome) << keep;
        EXPECT_EQ(Log().LiveObjects(RecordingLog::Kind::Texture), 0) << keep;
    }
}

TEST_F(LoadOverlayTest, AMissingFileAnImpossibleSizeOrANarrowPitchRaises)
{
    EXPECT_EQ(RaisedBy([&] { Load(4, 4); }),
              "TException TReadStream::TReadStream() - Failed to open file: 'Data\\Picture.bmp'");
    folder.WriteData("Picture.bmp", Bitmap(3, 2, Pattern));
    for (const auto& size : {std::pair{0, 1}, {1, 0}, {-3, 4}, {Orvel::kMaxOverlaySize + 1, 1}, {1, 1 << 30}})
        EXPECT_EQ(RaisedBy([&] { Load(size.first, size.second); }), Dx("LoadOverlay() - Invalid size"));
    Log().SetTexturePitchPadding(-4);
    EXPECT_EQ(RaisedBy([&] { Load(3, 2); }), Dx("DXTexture::DXTexture() - LockRect() failed", E_FAIL));
    EXPECT_EQ(Log().LiveObjects(RecordingLog::Kind::Texture), 0);
}

} // namespace
