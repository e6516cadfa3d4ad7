#pragma once
// The base record of everything that occupies cells of the occupancy grid.
// Positions are cells (0..63); an object
// occupies the cells x..x+width-1, y..y+height-1.

#include <cstdint>

class CLocObject {
public:
    // side -1 (none) and not a unit; whoever places the object sets the rest.
    CLocObject() : x(0), y(0), width(0), height(0), side(-1), isUnit(false) {}

    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    int32_t side;  // 0 red, 1 blue, -1 none
    bool isUnit;   // true for robots only
};
