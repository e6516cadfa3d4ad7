#pragma once
// A player at work, as the records the frame would gather: the mouse moving
// much of the time, over the map and the panel, clicks that pick tools,
// build, lay and erase move magnets and produce robots, the right button
// dropping a tool, spells in the walk view with W, A, S or D held and the
// mouse turning the camera, Space and F1 now and then. The cursor is held
// to the screen as the frame holds it. Its chances come from a generator of
// its own, never the game's, so it can drive a game without changing it.
// Used by the replay tests and the replay benchmark.

#include <cstdint>

#include "game/ReplayFormat.h"
#include "tests/play/ScriptedInput.h"

class CActivePlayer {
public:
    explicit CActivePlayer(uint32_t seed) : mState(seed) {}

    // The input of the next timer tick (1 world tick, actions accepted).
    SReplayRecord Next();

private:
    uint32_t Chance(uint32_t n);  // 0..n-1
    int Between(int low, int high) { return low + static_cast<int>(Chance(static_cast<uint32_t>(high - low + 1))); }
    void NewPlan();
    // Where the next click goes: a panel button, then a few map cells.
    void PlanClick();

    uint32_t mState;
    ScriptedInput mInput;
    bool mWalking = false;   // what the player believes the view to be
    int mPlanTicks = 0;      // ticks left in the current plan
    int mTargetX = 512;      // map view: where the mouse is heading
    int mTargetY = 384;
    int mRestTicks = 0;      // the mouse lies still
    int mPressTicks = 0;     // the left button is held so many more ticks
    int mMapClicks = 0;      // map clicks left with the tool picked
    enum { TOOL_NONE, TOOL_BUILDING, TOOL_MOVE_MAGNET, TOOL_ERASER };
    int mTool = TOOL_NONE;   // what the last button picked
    int mLaid[8][2] = {};    // where move magnets were laid last (pixels)
    int mLaidCount = 0;

    int mTurnX = 0;          // walk view: the turning speed
    int mTurnY = 0;
};
