#include "game/GameSprites.h"

#include <cstdio>

tlib::TSFArray<Orvel::CDrawSprite> gSprites;
Orvel::DXOverlay* gDigitImages[10] = {};
const int32_t gDigitWidths[10] = {21, 12, 18, 18, 21, 18, 21, 20, 21, 21};

void AddSprite(Orvel::DXOverlay* image, int32_t x, int32_t y, bool centred)
{
    Orvel::CDrawSprite sprite;
    sprite.image = image;
    sprite.x = x;
    sprite.y = y;
    sprite.centred = centred;
    gSprites.Append(sprite);
}

namespace {

// Calls visit(digit) for each decimal digit of value, left to right; the
// minus sign is skipped.
template <class F>
void ForEachDigit(int32_t value, F visit)
{
    char text[12]; // every 32-bit value with its sign and terminator
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    for (const char* p = text; *p != 0; ++p) {
        if (*p >= '0' && *p <= '9') {
            visit(*p - '0');
        }
    }
}

} // namespace

void DrawNumber(int32_t value, int32_t x, int32_t y)
{
    ForEachDigit(value, [&](int digit) {
        AddSprite(gDigitImages[digit], x, y, false);
        x += gDigitWidths[digit];
    });
}

int32_t NumberWidth(int32_t value)
{
    int32_t width = 0;
    ForEachDigit(value, [&](int digit) { width += gDigitWidths[digit]; });
    return width;
}
