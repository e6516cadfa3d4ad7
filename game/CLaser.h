#pragma once

#include <cstdint>
#include "game/CLocObject.h"
#include "game/CMagnet.h"

// A laser, 2 x 2 cells.
class CLaser : public CLocObject {
public:
    float angle = 0.0f;         // radians, towards the target (cell coordinates)
    CMagnet* target = nullptr;  // not owned: one magnet of the other side, or none
    int32_t aimTimer = 0;       // ticks since the target was chosen
    int32_t health = 0;
};
