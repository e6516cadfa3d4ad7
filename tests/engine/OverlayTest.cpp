#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/CDrawSprite.h"
#include "engine/DXOverlay.h"
#include "engine/DXTexture.h"
#include "tests/engine/EngineTestSupport.h"

using enginetest::DeviceFixture;
using enginetest::FloatsOf;
using Orvel::DXOverlay;

namespace {

// The corners a sprite reached the device with.
struct Quad {
    float left, top, right, bottom, uRight, vBottom;
};

class OverlayDrawTest : public DeviceFixture {
protected:
    std::unique_ptr<DXOverlay> Make(int width, int height, int textureWidth, int textureHeight)
    {
        std::vector<uint32_t> pixels(static_cast<size_t>(textureWidth) * static_cast<size_t>(textureHeight),
                                     0xFF808080);
        return std::make_unique<DXOverlay>(device.get(), width, height, textureWidth, textureHeight, pixels.data());
    }

    // Draws inside a frame and reads back the two triangles, checking that
    // they are top-left, top-right, bottom-left and top-right, bottom-right,
    // bottom-left of one rectangle with the overlay's texture.
    Quad DrawAndRead(DXOverlay& overlay, int x, int y, int alignX, int alignY)
    {
        device->StartFrame();
        Log().Clear();
        overlay.Draw(device.get(), x, y, alignX, alignY);
        device->FinishFrame();
        const auto draws = Log().CallsOf("DrawPrimitiveUP");
        EXPECT_EQ(draws.size(), 2u);
        if (draws.size() != 2)
            return Quad{};
        const uint32_t textureId = static_cast<RecordingTexture*>(overlay.Texture()->Texture())->Id();
        EXPECT_EQ(draws[0]->texture0, textureId);
        EXPECT_EQ(draws[1]->texture0, textureId);
        const std::vector<float> a = FloatsOf(draws[0]->bytes);
        const std::vector<float> b = FloatsOf(draws[1]->bytes);
        const Quad q{a[0], a[1], a[5], a[11], a[8], a[14]};
        const std::vector<float> first = {q.left,  q.top,    0, 0, 0, q.right, q.top,    0, q.uRight, 0,
                                          q.left,  q.bottom, 0, 0, q.vBottom};
        const std::vector<float> second = {q.right, q.top,    0, q.uRight, 0,        q.right, q.bottom, 0,
                                           q.uRight, q.vBottom, q.left, q.bottom, 0, 0, q.vBottom};
        EXPECT_EQ(a, first);
        EXPECT_EQ(b, second);
        return q;
    }
};

TEST_F(OverlayDrawTest, AFullScreenPictureSpansTheWholeScreen)
{
    auto screen = Make(1024, 768, 1024, 1024);
    const Quad q = DrawAndRead(*screen, 0, 0, 0, 0);
    EXPECT_EQ(q.left, -1.0f);
    EXPECT_EQ(q.top, -1.0f);
    EXPECT_EQ(q.right, 1.0f);
    EXPECT_EQ(q.bottom, 1.0f);
    EXPECT_EQ(q.uRight, 1.0f);
    EXPECT_EQ(q.vBottom, 0.75f);
}

TEST_F(OverlayDrawTest, TheCentredTitleTruncatesItsCornerAndDividesTheFarEdgesBy1023And767)
{
    auto title = Make(549, 218, 1024, 256);
    device->StartFrame();
    Log().Clear();
    title->DrawCentred(device.get(), 512, 384);
    device->FinishFrame();
    const auto centred = Log().CallsOf("DrawPrimitiveUP");
    ASSERT_EQ(centred.size(), 2u);
    const std::vector<float> viaCentred = FloatsOf(centred[0]->bytes);

    const Quad q = DrawAndRead(*title, 512, 384, 500, 500);
    // px = 512 - 274.5 -> 237, py = 384 - 109 = 275.
    EXPECT_EQ(q.left, -0.537109375f);
    EXPECT_EQ(q.top, static_cast<float>(275.0 / 768 * 2 - 1));
    EXPECT_EQ(q.right, static_cast<float>(785.0 / 1023 * 2 - 1));
    EXPECT_EQ(q.bottom, static_cast<float>(492.0 / 767 * 2 - 1));
    EXPECT_EQ(q.uRight, static_cast<float>(549.0 / 1024));
    EXPECT_EQ(q.vBottom, static_cast<float>(218.0 / 256));
    EXPECT_EQ(viaCentred, FloatsOf(Log().CallsOf("DrawPrimitiveUP")[0]->bytes));
}

TEST_F(OverlayDrawTest, CornersTruncateTowardZeroAndAreNotClamped)
{
    auto digit = Make(21, 23, 32, 32);
    // x: 5 - 10.5 = -5.5 -> -5 (not -6); y: 3 - 11.5 = -8.5 -> -8.
    Quad q = DrawAndRead(*digit, 5, 3, 500, 500);
    EXPECT_EQ(q.left, static_cast<float>(-5.0 / 1024 * 2 - 1));
    EXPECT_EQ(q.right, static_cast<float>(15.0 / 1023 * 2 - 1));
    EXPECT_EQ(q.top, static_cast<float>(-8.0 / 768 * 2 - 1));
    EXPECT_EQ(q.bottom, static_cast<float>(14.0 / 767 * 2 - 1));

    // Past the right edge: drawn as asked, the device clips.
    q = DrawAndRead(*digit, 1010, 700, 0, 0);
    EXPECT_EQ(q.left, static_cast<float>(1010.0 / 1024 * 2 - 1));
    EXPECT_GT(q.right, 1.0f);

    // Any alignment: a quarter of the width, the full height.
    auto panel = Make(40, 20, 64, 32);
    q = DrawAndRead(*panel, 100, 50, 250, 1000);
    EXPECT_EQ(q.left, static_cast<float>(90.0 / 1024 * 2 - 1));
    EXPECT_EQ(q.top, static_cast<float>(30.0 / 768 * 2 - 1));
}

TEST_F(OverlayDrawTest, DrawingOneOverlayTwiceIssuesFourTrianglesAndLeavesStageZeroEmpty)
{
    auto cursor = Make(64, 64, 64, 64);
    device->StartFrame();
    Log().Clear();
    const Orvel::CDrawSprite sprites[] = {{cursor.get(), 10, 10, false}, {cursor.get(), 300, 200, true}};
    for (const Orvel::CDrawSprite& s : sprites) {
        if (s.centred)
            s.image->DrawCentred(device.get(), s.x, s.y);
        else
            s.image->Draw(device.get(), s.x, s.y, 0, 0);
    }
    device->FinishFrame();
    EXPECT_EQ(Log().CallsOf("DrawPrimitiveUP").size(), 4u);
    EXPECT_EQ(recording->TextureOn(0), 0u);
}

} // namespace
