#pragma once
// Shared set-ups for the game tests: a world with factories and no trees or
// robots, entities placed directly (bypassing the building rules), and a
// check of the occupancy grid's invariants.

#include <memory>

#include "game/CGame.h"

// A red player that does nothing: the tests tick without keyboard or mouse.
IPlayerActions* IdlePlayer();

// A world built by BuildWorld with the trees taken away: the two factories,
// 100 energy per side, no robots, an idle red player.
std::unique_ptr<CGame> MakeBareGame(uint32_t seed = 1);

CRobot& PutRobot(CGame& game, int side, int x, int y);
CMagnet& PutMagnet(CGame& game, int side, int x, int y);
CLaser& PutLaser(CGame& game, int side, int x, int y);
CTree& PutTree(CGame& game, int x, int y);

// Empty string when every live object occupies exactly its rectangle, the
// cells refer to it and no other cell is occupied; otherwise what is wrong.
std::string GridProblem(const CGame& game);

// A digest of everything the tick changes, for comparing two runs.
uint64_t Digest(const CGame& game);
