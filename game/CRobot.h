#pragma once

#include <cstdint>
#include "game/CLocObject.h"

// A robot, 1 x 1 cell: the only kind of object that is a unit.
class CRobot : public CLocObject {
public:
    CRobot() { isUnit = true; }

    int32_t facing = 0;     // direction code 0..7: the model turns by facing * pi/4
    int32_t moveTimer = 0;  // ticks since the last move attempt
    bool dead = false;      // removed at its next turn in the robot pass; until then it
                            // occupies its cell, counts, harvests and can be captured
};
