#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/DXOverlay.h"
#include "engine/DXTexture.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using OverlayTest = enginetest::DeviceFixture;

// A sprite is two triangles (top-left, top-right, bottom-left) and
// (top-right, bottom-right, bottom-left) of one rectangle with its texture.
// The corner is truncated toward zero; left and top divide by 1024 and 768,
// right and bottom by 1023 and 767; nothing is clamped.
TEST_F(OverlayTest, CornersOfTheEndScreensTheTitleAndCutOffSprites)
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint32_t> pixels(static_cast<size_t>(c.textureWidth * c.textureHeight), 0xFF808080);
        Orvel::DXOverlay sprite(device.get(), c.width, c.height, c.textureWidth, c.textureHeight, pixels.data());
        InFrame([&] {
            if (c.alignX < 0)
                sprite.DrawCentred(device.get(), c.x, c.y);
            else
                sprite.Draw(device.get(), c.x, c.y, c.alignX, c.alignY);
        });
        const float l = static_cast<float>(c.left / 1024 * 2 - 1), t = static_cast<float>(c.top / 768 * 2 - 1);
        const float r = static_cast<float>(c.right / 1023 * 2 - 1), b = static_cast<float>(c.bottom / 767 * 2 - 1);
        const float u = static_cast<float>(static_cast<double>(c.width) / c.textureWidth);
        const float v = static_cast<float>(static_cast<double>(c.height) / c.textureHeight);
        const auto draws = Log().CallsOf("DrawPrimitiveUP");
        ASSERT_EQ(draws.size(), 2u);
        const uint32_t id = static_cast<RecordingTexture*>(sprite.Texture()->Texture())->Id();
        EXPECT_EQ(draws[0]->texture0, id);
        EXPECT_EQ(draws[1]->texture0, id);
        EXPECT_EQ(enginetest::FloatsOf(draws[0]->bytes), (std::vector<float>{l, t, 0, 0, 0, r, t, 0, u, 0, l, b, 0, 0, v}));
        EXPECT_EQ(enginetest::FloatsOf(draws[1]->bytes), (std::vector<float>{r, t, 0, u, 0, r, b, 0, u, v, l, b, 0, 0, v}));
        EXPECT_EQ(recording->TextureOn(0), 0u);
    }
}

} // namespace
