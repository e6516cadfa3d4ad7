#pragma once
// Watches a game as it is played, for tools that record it (the replay
// tools write red's actions as a script and print the state as it goes).
// The game calls it on the thread that ticks it; it must not change the
// game. A game plays the same with or without one.

#include "game/SRedAction.h"

class CGame;

class IGameObserver {
public:
    virtual ~IGameObserver() = default;
    // The player's controls have just applied one of red's actions (a
    // refused build included: the call was made). An erase that removed
    // nothing is not reported.
    virtual void OnRedAction(const SRedAction& action) = 0;
    // One world tick has run: CGame::ticksPlayed counts it and the end test
    // has been made.
    virtual void OnWorldTick(const CGame& game) = 0;
};
