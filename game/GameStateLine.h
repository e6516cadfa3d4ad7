#pragma once
// The state of a game in brief, as the tools print it and a replay's footer
// keeps it:
//   tick T state S energy ER EB robots RR RB magnets MR MB lasers LR LB
//   movemagnets VR VB trees N shots H aistep A
// T is CGame::ticksPlayed; pairs are red's value, then blue's. And a digest
// of everything the world ticks change, for telling two games apart where
// the line does not.

#include <cstdint>
#include <string>

class CGame;

// The line, without a line break.
std::string StateLine(const CGame& game);

// A 64-bit hash of the state, the entities in list order with their cells,
// timers, charges, health, aims, targets and wood, the energies and the
// computer's step. Equal games give equal digests on every machine.
uint64_t StateDigest(const CGame& game);
