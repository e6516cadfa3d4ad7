#pragma once

#include <cstdint>
#include "game/CLocObject.h"

// A tree, 1 x 1 cell, side -1.
class CTree : public CLocObject {
public:
    int32_t wood = 0;  // 100 when placed
};
