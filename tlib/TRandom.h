#pragma once
// The game's one process-wide random generator: a linear congruential
// generator with 32 bits of state, s = s * 22695477 + 1 (mod 2^32), giving
// (s >> 16) & 0x7FFF, a value 0..32767. Every chance in the game comes from
// it, so one seed gives the same game on every machine.
//
// NOT thread safe: only the thread that runs the game (the loading thread
// while it builds the world, then the main thread) may draw from it.

#include <cstdint>

namespace tlib {

// Sets the state to seed, then advances once, discarding that value: the
// first value drawn afterwards is the second value after the seed.
void SeedRandom(uint32_t seed);

// One value 0..32767.
int Random();

// The current state, for tests and replays.
uint32_t RandomState();

// The seed of the last SeedRandom (1 before any): what a replay records so
// that seeding with it again gives the same game.
uint32_t RandomSeed();

} // namespace tlib
