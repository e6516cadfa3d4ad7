#pragma once
// Recorded games for the replay tests: a game played by CActivePlayer
// through CGame::Tick at a chosen pace, written with CReplayWriter, with
// what the test compares a replay against.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/ReplayFormat.h"
#include "game/SRedAction.h"

// The pace of a timer tick: its world ticks and whether actions count.
struct SPace {
    int worldTicks;
    bool acceptActions;
};
// The pace of record n (0 for the first), by name: "1x" always 1; "mixed"
// a change every 250 records through 1, 2 and 4 world ticks, half (0 and 1
// alternating) and paused (the last 100 of the 250: 0 world ticks, actions
// refused).
SPace PaceOf(const std::string& pace, int n);

struct SRecordedGame {
    std::vector<SReplayRecord> records;
    std::vector<uint64_t> digests;       // StateDigest after each record
    std::vector<uint64_t> worldDigests;  // StateDigest after each world tick
    std::vector<SRedAction> actions;     // red's actions as the controls applied them
    std::string stateLine;               // StateLine at the end
    int32_t worldTicks = 0;
};

class CGame;
// Plays `records` timer ticks (fewer if the game ends) from the seed and
// records them to path; with finish false the writer is left as a killed
// game leaves it (what it wrote so far, no footer). beforeFinish may change
// the game the footer is taken from.
SRecordedGame RecordGame(const std::string& path, uint32_t seed, int records, const std::string& pace,
                         bool finish = true, const std::function<void(CGame&)>& beforeFinish = nullptr);

// A replay file made by hand: a header as the writer writes it, the items
// as one compressed stream (with the window asked for), then a footer
// claiming footerRecords records (no footer when negative) with this state
// line and digest 0.
std::string CraftReplay(const std::string& items, int64_t footerRecords,
                        const std::string& stateLine = "tick 0 state 0", int windowBits = kReplayWindowBits);
// A checkpoint item over the items written since the one before.
std::string Checkpoint(const std::string& items, uint32_t count);
// A zigzag varint.
std::string Varint(int32_t value);

// A fresh path in this process's temporary folder.
std::string TempPath(const std::string& name);
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool SameRecord(const SReplayRecord& a, const SReplayRecord& b);
