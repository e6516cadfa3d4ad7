#pragma once
// A laser shot in flight. Shots belong to no side. Positions are whole world
// units (2.5 per cell).

#include <cstdint>

class CMagnet;

class CLaserShot {
public:
    float angle = 0.0f;  // heading, radians
    int32_t startX = 0;
    int32_t startY = 0;
    int32_t endX = 0;
    int32_t endY = 0;
    int32_t curX = 0;
    int32_t curY = 0;
    int32_t step = 0;   // steps flown
    int32_t steps = 0;  // steps of the whole flight
    CMagnet* target = nullptr;  // not owned: the magnet it will hit, or none
};
