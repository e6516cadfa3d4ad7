#include <algorithm>
#include <cstdio>
#include <fstream>

#include "engine/DXOverlay.h"
#include "engine/DXTexture.h"
#include "engine/LoadOverlay.h"
#include "tests/engine/EngineTestSupport.h"

using namespace enginetest;

namespace {

// Each pixel's colour (0xRRGGBB, y = 0 at the top): the white and magenta
// keys and a near white in the top row, elsewhere a colour unique to the pixel.
uint32_t Colour(int x, int y)
{
    const uint32_t top[] = {0xFFFFFF, 0xFF00FF, 0xFEFFFF};
    return y == 0 && x < 3 ? top[x] : static_cast<uint32_t>((x * 7 + 1) % 256 << 16 | (y * 13 + 2) << 8 | (x + y + 3));
}

// Writes Data/Picture.bmp as a 24-bit bottom-up bitmap of Colour: a 54-byte
// header of junk (never read), then the rows from the bottom up, each padded
// with filler to a multiple of 4 bytes; only the first keep bytes if given.
void WriteBitmap(int width, int height, size_t keep = SIZE_MAX)
{
    std::vector<uint8_t> bytes(54, 0xA5);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            for (int shift : {0, 8, 16})
                bytes.push_back(static_cast<uint8_t>(Colour(x, y) >> shift));
        bytes.insert(bytes.end(), static_cast<size_t>((4 - 3 * width % 4) % 4), 0xEE);
    }
    std::ofstream("Data/Picture.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(std::min(keep, bytes.size())));
}

TEST(NextPowerOfTwo, IsTheSmallestPowerOfTwoNotBelowN)
{
    const struct {
        int n, power;
    } cases[] = {{-5, 1}, {0, 1}, {1, 1}, {3, 4}, {1024, 1024}, {1025, 2048}, {1 << 30, 1 << 30}};
    for (const auto& c : cases)
        EXPECT_EQ(Orvel::NextPowerOfTwo(c.n), c.power) << c.n;
    EXPECT_EQ(RaisedBy([] { Orvel::NextPowerOfTwo((1 << 30) + 1); }), Dx("NextPowerOfTwo() - Value too large"));
}

class OverlayTest : public DeviceFixture {
protected:
    std::unique_ptr<Orvel::DXOverlay> Load(int width, int height, bool translucent = false)
    {
        return std::unique_ptr<Orvel::DXOverlay>(
            Orvel::LoadOverlay(device.get(), "Picture.bmp", width, height, translucent));
    }
    ScratchFolder folder;
};

// Rows are flipped and their filler skipped, keys replaced, the rest given
// the alpha, the texture padded with transparent white and its rows written
// at the device's pitch.
TEST_F(OverlayTest, APictureBecomesAKeyedPowerOfTwoTextureWithItsRowsFlipped)
{
    Log().SetTexturePitchPadding(12);
    const struct {
        int width, textureWidth;
    } cases[] = {{3, 4}, {5, 8}, {18, 32}, {64, 64}}; // 3, 1, 2 and 0 filler bytes
    for (const auto& [width, textureWidth] : cases)
        for (uint32_t alpha : {0xFF000000u, 0xCF000000u}) {
            WriteBitmap(width, 3);
            const auto overlay = Load(width, 3, alpha == 0xCF000000u);
            EXPECT_EQ((std::vector<int>{overlay->Width(), overlay->Height(), overlay->TextureWidth(),
                                        overlay->TextureHeight()}),
                      (std::vector<int>{width, 3, textureWidth, 4}));
            const auto& texture = *static_cast<RecordingTexture*>(overlay->Texture()->Texture());
            ASSERT_EQ(texture.Pool(), D3DPOOL_DEFAULT);
            for (int i = 0; i < 4 * textureWidth; ++i) {
                const int x = i % textureWidth, y = i / textureWidth;
                const uint32_t rgb = x < width && y < 3 ? Colour(x, y) : 0xFFFFFF;
                const uint32_t want = rgb == 0xFFFFFF ? 0x00FFFFFF : rgb == 0xFF00FF ? 0x7F7F7F7F : alpha | rgb;
                ASSERT_EQ(texture.Texel(static_cast<UINT>(x), static_cast<UINT>(y)), want)
                    << width << " wide, alpha " << std::hex << alpha << " at " << x << ", " << y;
            }
        }
}

TEST_F(OverlayTest, ATruncatedOrMissingFileAnImpossibleSizeOrANarrowPitchRaisesAndCreatesNothing)
{
    // Every failure after the open names the file.
    const std::string named = " (reading 'Data/Picture.bmp')";
    const std::string pastEnd = "TException TReadStream::Read() - Cannot read past end of file" + named;
    const struct {
        size_t keep;         // bytes of the file kept
        std::string outcome; // what loading it raises
    } cases[] = { // 5 x 4: rows of 15 + 1 filler bytes
        {54 + 3 * 16, pastEnd},                                            // the top row is missing
        {54 + 3 * 16 + 7, "TException TReadStream::Read() - Read failed" + named}, // ends inside the top row
        {54 + 2 * 16 + 15, pastEnd},                                       // ends in a filler
        {20, pastEnd},                                                     // shorter than the headers
        {54 + 3 * 16 + 15, "nothing"}, // only the last filler is missing: it is skipped, never read
    };
    for (const auto& [keep, outcome] : cases) {
        WriteBitmap(5, 4, keep);
        EXPECT_EQ(RaisedBy([&] { Load(5, 4); }), outcome) << keep;
        EXPECT_EQ(Log().LiveObjects(RecordingLog::Kind::Texture), 0) << keep;
    }
    std::remove("Data/Picture.bmp");
    EXPECT_EQ(RaisedBy([&] { Load(4, 4); }),
              "TException TReadStream::TReadStream() - Failed to open file: 'Data\\Picture.bmp'");
    WriteBitmap(3, 2);
    for (const auto& [width, height] : {std::pair{0, 1}, {1, 0}, {-3, 4}, {Orvel::kMaxOverlaySize + 1, 1}, {1, 1 << 30}})
        EXPECT_EQ(RaisedBy([&] { Load(width, height); }), Dx("LoadOverlay() - Invalid size")) << width << " x " << height;
    Log().SetTexturePitchPadding(-4);
    EXPECT_EQ(RaisedBy([&] { Load(3, 2); }), Dx("DXTexture::DXTexture() - LockRect() failed" + named, E_FAIL));
    EXPECT_EQ(Log().LiveObjects(RecordingLog::Kind::Texture), 0);
}

// A frame clears colour and depth, and a sprite in it is two Tri3T draws
// from memory: (top-left, top-right, bottom-left) and (top-right,
// bottom-right, bottom-left) of one rectangle, each with the sprite's
// texture on stage 0 only while it draws. The corner is truncated toward
// zero; left and top divide by 1024 and 768, right and bottom by 1023 and
// 767; nothing is clamped.
TEST_F(OverlayTest, AFrameWithOneSpriteForTheEndScreensTheTitleAndCutOffSprites)
{
    const struct {
        const char* what;
        int width, height, textureWidth, textureHeight, x, y, alignX, alignY; // alignX < 0: DrawCentred
        double left, top, right, bottom;                                       // in overlay units
    } cases[] = {
        {"end screen", 1024, 768, 1024, 1024, 0, 0, 0, 0, 0, 0, 1023, 767},
        {"title", 549, 218, 1024, 256, 512, 384, -1, -1, 237, 275, 785, 492}, // 512 - 274.5 -> 237
        {"digit past the top left", 21, 23, 32, 32, 5, 3, 500, 500, -5, -8, 15, 14}, // -5.5 -> -5, -8.5 -> -8
        {"digit past the right edge", 21, 23, 32, 32, 1010, 700, 0, 0, 1010, 700, 1030, 722},
        {"quarter width, full height", 40, 20, 64, 32, 100, 50, 250, 1000, 90, 30, 129, 49},
    };
    device->clearColour = 0x003668D8;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint32_t> pixels(static_cast<size_t>(c.textureWidth * c.textureHeight), 0xFF808080);
        Orvel::DXOverlay sprite(device.get(), c.width, c.height, c.textureWidth, c.textureHeight, pixels.data());
        Log().Clear();
        device->StartFrame();
        c.alignX < 0 ? sprite.DrawCentred(device.get(), c.x, c.y)
                     : sprite.Draw(device.get(), c.x, c.y, c.alignX, c.alignY);
        device->FinishFrame();

        const std::string id = std::to_string(static_cast<RecordingTexture*>(sprite.Texture()->Texture())->Id());
        const std::string bind = "SetTexture 0 " + id, draw = "DrawPrimitiveUP 4 1 20", unbind = "SetTexture 0 0";
        EXPECT_EQ(Describe(Log().Calls()),
                  (std::vector<std::string>{"Clear 0 0 3 3565784 0", "BeginScene", "SetFVF 258", bind, draw, unbind,
                                            "SetFVF 258", bind, draw, unbind, "EndScene", "Present 0 0 0 0"}));
        EXPECT_EQ(Log().Calls()[0].floats, (std::vector<float>{1.0f})) << "depth";

        const float l = static_cast<float>(c.left / 1024 * 2 - 1), t = static_cast<float>(c.top / 768 * 2 - 1);
        const float r = static_cast<float>(c.right / 1023 * 2 - 1), b = static_cast<float>(c.bottom / 767 * 2 - 1);
        const float u = static_cast<float>(double(c.width) / c.textureWidth);
        const float v = static_cast<float>(double(c.height) / c.textureHeight);
        const auto tri = Log().CallsOf("DrawPrimitiveUP");
        EXPECT_EQ(FloatsOf(tri[0]->bytes), (std::vector<float>{l, t, 0, 0, 0, r, t, 0, u, 0, l, b, 0, 0, v}));
        EXPECT_EQ(FloatsOf(tri[1]->bytes), (std::vector<float>{r, t, 0, u, 0, r, b, 0, u, v, l, b, 0, 0, v}));
    }
}

} // namespace
