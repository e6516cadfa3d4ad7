#pragma once
// One picture queued for the frame's overlay pass, in overlay units.

#include <cstdint>

namespace Orvel {

class DXOverlay;

struct CDrawSprite {
    DXOverlay* image; // not owned
    int32_t x;
    int32_t y;
    bool centred;     // true: the picture's centre at (x, y); false: its top-left corner
};

} // namespace Orvel
