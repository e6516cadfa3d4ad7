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

using enginetest::DeviceFixture;
using enginetest::RaisedBy;
using enginetest::ScratchFolder;
using Orvel::DXOverlay;
using Orvel::LoadOverlay;
using Orvel::NextPowerOfTwo;

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// A 24-bit bottom-up bitmap: a 54-byte header (filled with junk, which the
// loader must not read), then rows from the bottom up with filler to a
// multiple of 4. pixel(x, y) gives the colour with y = 0 at the top.
std::vector<uint8_t> Bitmap(int width, int height, const std::function<Rgb(int, int)>& pixel)
{
    std::vector<uint8_t> bytes(54, 0xA5);
    const int filler = (4 - (3 * width) % 4) % 4;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = pixel(x, y);
            bytes.push_back(c.b);
            bytes.push_back(c.g);
            bytes.push_back(c.r);
        }
        bytes.insert(bytes.end(), static_cast<size_t>(filler), 0xEE);
    }
    return bytes;
}

// A colour unique to each pixel, never one of the two keys.
Rgb Pattern(int x, int y)
{
    return Rgb{static_cast<uint8_t>(x * 7 + 1), static_cast<uint8_t>(y * 13 + 2), static_cast<uint8_t>(x + y + 3)};
}

uint32_t Opaque(Rgb c, uint32_t alpha = 0xFF)
{
    return (alpha << 24) | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

TEST(NextPowerOfTwo, IsTheSmallestPowerOfTwoNotBelowN)
{
    const int cases[][2] = {{-5, 1}, {0, 1},      {1, 1},       {2, 2},       {3, 4},
                            {23, 32}, {549, 1024}, {1024, 1024}, {1025, 2048}, {1 << 30, 1 << 30}};
    for (const auto& c : cases)
        EXPECT_EQ(NextPowerOfTwo(c[0]), c[1]) << c[0];
    EXPECT_DX_RAISES(NextPowerOfTwo((1 << 30) + 1), "NextPowerOfTwo() - Value too large", 0);
}

class LoadOverlayTest : public DeviceFixture {
protected:
    RecordingTexture* TextureOf(const DXOverlay& overlay)
    {
        return static_cast<RecordingTexture*>(overlay.Texture()->Texture());
    }
    ScratchFolder folder;
};

TEST_F(LoadOverlayTest, KeysColoursAndFlipsRowsIntoATransparentPowerOfTwoTexture)
{
    const Rgb white{255, 255, 255}, magenta{255, 0, 255}, nearWhite{254, 255, 255};
    const Rgb first{10, 20, 30}, last{40, 50, 60}, other{1, 2, 3};
    // 3 x 2; the file starts with the bottom-left pixel and ends with the top-right one.
    const Rgb rows[2][3] = {{white, magenta, last}, {first, nearWhite, other}};
    const auto pixel = [&](int x, int y) { return rows[y][x]; };
    folder.WriteData("Keys.bmp", Bitmap(3, 2, pixel));
    for (bool translucent : {false, true}) {
        SCOPED_TRACE(translucent ? "translucent" : "opaque");
        const uint32_t alpha = translucent ? 0xCF : 0xFF;
        std::unique_ptr<DXOverlay> overlay(LoadOverlay(device.get(), "Keys.bmp", 3, 2, translucent));
        EXPECT_EQ(overlay->Width(), 3);
        EXPECT_EQ(overlay->Height(), 2);
        EXPECT_EQ(overlay->TextureWidth(), 4);
        EXPECT_EQ(overlay->TextureHeight(), 2);
        RecordingTexture* texture = TextureOf(*overlay);
        EXPECT_EQ(texture->Pool(), D3DPOOL_DEFAULT);
        EXPECT_EQ(texture->Texel(0, 0), 0x00FFFFFFu);               // pure white: transparent
        EXPECT_EQ(texture->Texel(1, 0), 0x7F7F7F7Fu);               // pure magenta: half grey
        EXPECT_EQ(texture->Texel(2, 0), Opaque(last, alpha));       // the last pixel of the file
        EXPECT_EQ(texture->Texel(0, 1), Opaque(first, alpha));      // the first pixel of the file
        EXPECT_EQ(texture->Texel(1, 1), Opaque(nearWhite, alpha));  // not quite white: kept
        EXPECT_EQ(texture->Texel(2, 1), Opaque(other, alpha));
        for (UINT y = 0; y < 2; ++y)
            EXPECT_EQ(texture->Texel(3, y), 0x00FFFFFFu) << "right of the picture";
    }
}

TEST_F(LoadOverlayTest, RowFillerIsSkippedForEveryRowLength)
{
    // 3 x width bytes of pixels need 0, 3, 2 or 1 filler bytes.
    for (int width : {64, 1, 18, 21, 12, 5}) {
        SCOPED_TRACE(width);
        const int height = 3;
        folder.WriteData("Rows.bmp", Bitmap(width, height, Pattern));
        std::unique_ptr<DXOverlay> overlay(LoadOverlay(device.get(), "Rows.bmp", width, height, false));
        RecordingTexture* texture = TextureOf(*overlay);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(texture->Texel(static_cast<UINT>(x), static_cast<UINT>(y)), Opaque(Pattern(x, y)))
                    << x << ", " << y;
        for (UINT y = 0; y < texture->Height(); ++y)
            for (UINT x = static_cast<UINT>(width); x < texture->Width(); ++x)
                ASSERT_EQ(texture->Texel(x, y), 0x00FFFFFFu);
        for (UINT y = height; y < texture->Height(); ++y)
            ASSERT_EQ(texture->Texel(0, y), 0x00FFFFFFu);
    }
}

TEST_F(LoadOverlayTest, TheGamePicturesGetTheirTextureSizes)
{
    struct Case {
        int width, height, textureWidth, textureHeight;
    };
    const Case cases[] = {
        {64, 64, 64, 64},     {21, 23, 32, 32},     {12, 23, 16, 32},      {18, 23, 32, 32},
        {20, 23, 32, 32},     {549, 218, 1024, 256}, {96, 96, 128, 128},   {256, 768, 256, 1024},
        {599, 212, 1024, 256}, {1024, 768, 1024, 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        folder.WriteData("Picture.bmp", Bitmap(c.width, c.height, [](int, int) { return Rgb{9, 9, 9}; }));
        Log().Clear();
        std::unique_ptr<DXOverlay> overlay(LoadOverlay(device.get(), "Picture.bmp", c.width, c.height, false));
        EXPECT_EQ(overlay->TextureWidth(), c.textureWidth);
        EXPECT_EQ(overlay->TextureHeight(), c.textureHeight);
        const auto creations = Log().CallsOf("CreateTexture");
        ASSERT_EQ(creations.size(), 2u);
        for (const RecordedCall* call : creations) {
            EXPECT_EQ(call->args[0], c.textureWidth);
            EXPECT_EQ(call->args[1], c.textureHeight);
        }
        RecordingTexture* texture = TextureOf(*overlay);
        EXPECT_EQ(texture->Texel(static_cast<UINT>(c.width - 1), static_cast<UINT>(c.height - 1)), 0xFF090909u);
    }
}

TEST_F(LoadOverlayTest, AFileThatEndsBeforeItsRowsRaisesTheStreamErrorAndCreatesNothing)
{
    const std::vector<uint8_t> whole = Bitmap(5, 4, Pattern); // rows of 15 + 1 filler bytes
    struct Case {
        size_t keep;
        const char* message; // null: loads
    };
    const Case cases[] = {
        {54 + 3 * 16, "TReadStream::Read() - Cannot read past end of file"},      // the top row is missing
        {54 + 3 * 16 + 7, "TReadStream::Read() - Read failed"},                    // ends inside the top row
        {54 + 2 * 16 + 15, "TReadStream::Read() - Cannot read past end of file"}, // ends in a filler
        {20, "TReadStream::Read() - Cannot read past end of file"},                 // shorter than the headers
        {0, "TReadStream::Read() - Cannot read past end of file"},
        {54 + 3 * 16 + 15, nullptr}, // only the last filler is missing: it is skipped, never read
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keep);
        folder.WriteData("Short.bmp", std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(c.keep)));
        const enginetest::Raised raised = RaisedBy([&] { delete LoadOverlay(device.get(), "Short.bmp", 5, 4, false); });
        if (!c.message) {
            EXPECT_EQ(raised.type, "nothing");
            continue;
        }
        EXPECT_EQ(raised.type, "TException");
        EXPECT_EQ(raised.message, c.message);
        EXPECT_EQ(Log().LiveObjects(RecordingLog::Kind::Texture), 0);
    }
}

TEST_F(LoadOverlayTest, AMissingFileOrAnImpossibleSizeRaises)
{
    const enginetest::Raised missing = RaisedBy([&] { LoadOverlay(device.get(), "Nope.bmp", 4, 4, false); });
    EXPECT_EQ(missing.type, "TException");
    EXPECT_EQ(missing.message, "TReadStream::TReadStream() - Failed to open file: 'Data\\Nope.bmp'");

    folder.WriteData("Tiny.bmp", Bitmap(1, 1, Pattern));
    const int sizes[][2] = {{0, 1}, {1, 0}, {-3, 4}, {4, -3}, {Orvel::kMaxOverlaySize + 1, 1}, {1, 1 << 30}};
    for (const auto& size : sizes)
        EXPECT_DX_RAISES(LoadOverlay(device.get(), "Tiny.bmp", size[0], size[1], false), "LoadOverlay() - Invalid size",
                         0);
    EXPECT_EQ(Log().LiveObjects(RecordingLog::Kind::Texture), 0);
}

class TextureTest : public DeviceFixture {
protected:
    std::vector<uint32_t> pixels{0xFF010203, 0x7F7F7F7F, 0x00FFFFFF, 0xCF0A0B0C, 0xFFFFFFFF, 0x12345678};
};

TEST_F(TextureTest, FillsASystemMemoryCopyRowByRowAtThePitchAndUpdatesTheDefaultPoolTexture)
{
    Log().SetTexturePitchPadding(12);
    Log().Clear();
    auto texture = std::make_unique<Orvel::DXTexture>(device.get(), 3, 2, pixels.data());
    EXPECT_EQ(Log().Names(), (std::vector<std::string>{"CreateTexture", "LockRect", "UnlockRect", "CreateTexture",
                                                       "UpdateTexture"}));
    const auto creations = Log().CallsOf("CreateTexture");
    const uint32_t system = creations[0]->created;
    const uint32_t target = creations[1]->created;
    EXPECT_EQ(creations[0]->args[5], D3DPOOL_SYSTEMMEM);
    EXPECT_EQ(creations[1]->args[5], D3DPOOL_DEFAULT);
    EXPECT_EQ(Log().CallsOf("LockRect")[0]->args, (std::vector<int64_t>{0, 0, 0}));
    EXPECT_EQ(Log().CallsOf("UpdateTexture")[0]->args, (std::vector<int64_t>{system, target}));
    EXPECT_EQ(Log().Texture(system), nullptr) << "the system-memory copy is released";
    RecordingTexture* held = static_cast<RecordingTexture*>(texture->Texture());
    EXPECT_EQ(held->Id(), target);
    EXPECT_EQ(held->Pitch(), 24);
    for (UINT y = 0; y < 2; ++y)
        for (UINT x = 0; x < 3; ++x)
            EXPECT_EQ(held->Texel(x, y), pixels[y * 3 + x]);
    texture.reset();
    EXPECT_EQ(Log().LiveObjects(RecordingLog::Kind::Texture), 0);
}

TEST_F(TextureTest, EveryFailureRaisesWithItsHresultAndLeavesNoTexture)
{
    struct Case {
        const char* op;
        int n;
        const char* message;
    };
    const Case cases[] = {
        {"CreateTexture", 1, "DXDevice::CreateTexture() - CreateTexture() failed"},
        {"LockRect", 1, "DXTexture::DXTexture() - LockRect() failed"},
        {"UnlockRect", 1, "DXTexture::DXTexture() - UnlockRect() failed"},
        {"CreateTexture", 2, "DXDevice::CreateTexture() - CreateTexture() failed"},
        {"UpdateTexture", 1, "DXTexture::DXTexture() - UpdateTexture() failed"},
    };
    const HRESULT codes[] = {D3DERR_OUTOFVIDEOMEMORY, D3DERR_INVALIDCALL, E_FAIL, E_OUTOFMEMORY, D3DERR_NOTAVAILABLE};
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " #" + std::to_string(c.n));
        const HRESULT code = codes[i++];
        Log().FailCall(c.op, c.n, code);
        EXPECT_DX_RAISES(Orvel::DXTexture(device.get(), 3, 2, pixels.data()), c.message, code);
        EXPECT_EQ(Log().LiveObjects(RecordingLog::Kind::Texture), 0);
    }
}

TEST_F(TextureTest, ARowPitchNarrowerThanThePictureIsRefused)
{
    Log().SetTexturePitchPadding(-4);
    EXPECT_DX_RAISES(Orvel::DXTexture(device.get(), 3, 2, pixels.data()), "DXTexture::DXTexture() - LockRect() failed",
                     E_FAIL);
    EXPECT_EQ(Log().LiveObjects(RecordingLog::Kind::Texture), 0);
}

} // namespace
