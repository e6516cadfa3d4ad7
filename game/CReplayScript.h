#pragma once
// A replay of red's actions: a text script, one action a line, played through
// the same CGame operations the map-view controls call, for side 0.
//
//   T robots            ProduceRobots
//   T magnet X Y        BuildMagnet at cell (X, Y)
//   T laser X Y         BuildLaser at cell (X, Y)
//   T move X Y TYPE     AddMoveMagnet of pad type TYPE (0..8)
//   T erase X Y         RemoveMoveMagnet
//   T clear             ClearMoveMagnets
//
// T is the world tick the action belongs to, 1 for the first tick played;
// ticks do not decrease from line to line. '#' starts a comment; blank lines are
// ignored. Cells are 0..63. A script is parsed whole before anything is
// played; Apply allocates nothing. Line writes an action in this syntax.

#include <cstdint>
#include <string>
#include <vector>

#include "game/IPlayerActions.h"
#include "game/SRedAction.h"

class CReplayScript : public IPlayerActions {
public:
    // Replaces the actions with those of text. On a malformed line returns
    // false, keeps no action and sets error to "<name>:<line>: <what>".
    bool Parse(const std::string& text, const std::string& name, std::string& error);
    // Parse of a whole file; a file that cannot be read is an error too.
    bool LoadFile(const std::string& path, std::string& error);

    // The script line of an action, without the line break: "12 move 3 4 2".
    static std::string Line(const SRedAction& action);

    // Plays one tick: the actions of the next tick number, in file order.
    void Apply(CGame& game) override;

    const std::vector<SRedAction>& Actions() const { return mActions; }
    // Ticks played so far.
    int32_t TicksPlayed() const { return mTick; }

private:
    std::vector<SRedAction> mActions;
    size_t mNext = 0;
    int32_t mTick = 0;
};
