#pragma once
// One action of the red player on the world, as a replay script line holds
// it and as the controls apply it: the CGame operation and its cells.

#include <cstdint>

struct SRedAction {
    // The operation, for side 0.
    enum Type : int32_t {
        ROBOTS,  // ProduceRobots
        MAGNET,  // BuildMagnet at (x, y)
        LASER,   // BuildLaser at (x, y)
        MOVE,    // AddMoveMagnet of pad type moveType (0..8) at (x, y)
        ERASE,   // RemoveMoveMagnet at (x, y)
        CLEAR,   // ClearMoveMagnets
    };

    // The world tick the action is applied in, 1 for the first: it comes
    // before that tick's computer step.
    int32_t tick = 0;
    Type type = ROBOTS;
    int32_t x = 0;  // cell, for MAGNET, LASER, MOVE and ERASE
    int32_t y = 0;
    int32_t moveType = 0;  // for MOVE
};
