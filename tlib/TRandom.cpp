#include "tlib/TRandom.h"

namespace tlib {

namespace {
uint32_t gRandomState = 1;
uint32_t gRandomSeed = 1;
} // namespace

void SeedRandom(uint32_t seed)
{
    gRandomSeed = seed;
    gRandomState = seed;
    Random();
}

int Random()
{
    gRandomState = gRandomState * 22695477u + 1u;
    return static_cast<int>((gRandomState >> 16) & 0x7FFFu);
}

uint32_t RandomState()
{
    return gRandomState;
}

uint32_t RandomSeed()
{
    return gRandomSeed;
}

} // namespace tlib
