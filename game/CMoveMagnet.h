#pragma once
// A steering marker of one side. Occupies no grid cell; any cell can hold one.

#include <cstdint>

class CMoveMagnet {
public:
    int32_t x = 0;  // cell
    int32_t y = 0;
    int32_t kind = 0;     // 0 attracting, 1 pushing
    float angle = 0.0f;   // push direction in radians; used only when kind is 1
    // 20 * cos(angle) and 20 * sin(angle) in double: the push at distance 1.
    // Set by CGame::AddMoveMagnet together with angle.
    double pushX = 0.0;
    double pushY = 0.0;
};
