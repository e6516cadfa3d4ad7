#pragma once
// The frame's sprite list and the two ways of filling it. The overlay pass
// of the frame draws the list in order, so later sprites cover earlier ones.
// Positions are overlay units (the 1024 x 768 screen, origin top-left).
//
// Main thread only. The list keeps its storage from frame to frame, so after
// the first frames adding sprites allocates nothing.

#include <cstdint>

#include "engine/CDrawSprite.h"
#include "tlib/TSFArray.h"

namespace Orvel {
class DXOverlay;
}

// The sprites of the current frame, in drawing order (emptied at the start
// of each frame).
extern tlib::TSFArray<Orvel::CDrawSprite> gSprites;

// Pictures of the digits 0..9 (index = digit); owned by the app, null until
// start-up loads them.
extern Orvel::DXOverlay* gDigitImages[10];
// Advance width of each digit in overlay units (also the pictures' widths).
extern const int32_t gDigitWidths[10];
// Height of every digit picture.
constexpr int32_t kDigitHeight = 23;

// Appends one sprite: image (not owned) with its top-left corner at (x, y),
// or its centre when centred.
void AddSprite(Orvel::DXOverlay* image, int32_t x, int32_t y, bool centred);

// Adds the decimal digits of value left to right from (x, y), not centred,
// each advancing x by its width. The minus sign of a negative value is
// neither drawn nor advanced over.
void DrawNumber(int32_t value, int32_t x, int32_t y);
// How far DrawNumber advances x for value.
int32_t NumberWidth(int32_t value);
