#pragma once

#include <cstdint>
#include "game/CLocObject.h"

// A magnet, 2 x 2 cells.
class CMagnet : public CLocObject {
public:
    int32_t charge = 0;      // 0..95, ticks towards the next capture
    bool destroyed = false;  // hit by a shot; removed at its next turn in the magnet pass
};
