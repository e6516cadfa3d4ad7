#pragma once
// Shared set-ups for the game tests: worlds, entities placed directly
// (bypassing the building rules) and the occupancy grid's invariants. Runs
// are compared by StateDigest (game/GameStateLine.h).

#include <cstdint>
#include <memory>
#include <string>

#include "game/CGame.h"
#include "game/GameStateLine.h"
#include "game/SPlayerInput.h"

// A red player that does nothing: the tests tick without keyboard or mouse.
IPlayerActions* IdlePlayer();
// A world built by BuildWorld with the trees taken away: the two factories,
// 100 energy per side, no robots, an idle red player.
std::unique_ptr<CGame> MakeBareGame(uint32_t seed = 1);
// A game as loading starts it (NewGame after seeding), played by `player`.
std::unique_ptr<CGame> MakeNewGame(uint32_t seed, IPlayerActions* player);

CRobot& PutRobot(CGame& game, int side, int x, int y);
CMagnet& PutMagnet(CGame& game, int side, int x, int y);
CLaser& PutLaser(CGame& game, int side, int x, int y);  // at full health
CTree& PutTree(CGame& game, int x, int y);              // with no wood

// Empty string when every live object's cells refer to it and no other cell
// is occupied; otherwise what is wrong.
std::string GridProblem(const CGame& game);
// Calls step n times.
void Repeat(CGame& game, void (CGame::*step)(), int n);
// Plays n ticks with an input record that is all zero (for a scripted or
// idle red player, which reads none).
void Play(CGame& game, int n);
