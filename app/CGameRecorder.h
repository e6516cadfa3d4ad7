#pragma once
// Records the game the player plays as a replay file (game/ReplayFormat.h):
// Replays/tavrin-YYYYMMDD-HHMMSS.tvr in the folder for written files (the
// same naming as screenshots: never overwriting), made at the first game
// tick, a record added after every tick and the footer written when the end
// screen comes up or the game is left (Escape, the window closed).
//
// A recording that cannot be made or written is reported once and dropped;
// the game plays on. Main thread only. One object, gRecorder, made by
// start-up when the "Replays" setting is on and the game is not a replay,
// and deleted by Shutdown (which finishes the recording first).

#include <memory>
#include <string>

#include "game/ReplayFormat.h"

class CGame;
class CReplayWriter;

class CGameRecorder {
public:
    // Where replays go, inside the folder for written files.
    static constexpr const char* kFolder = "Replays";

    // writeFolder: the folder for files the game writes ("." the current
    // one; empty: unknown, and the first tick reports that nothing is
    // recorded).
    explicit CGameRecorder(const std::string& writeFolder);
    ~CGameRecorder();
    CGameRecorder(const CGameRecorder&) = delete;
    CGameRecorder& operator=(const CGameRecorder&) = delete;

    // After each game tick: the tick's record, with the game as the tick
    // left it. The first makes the file; the first after which the game has
    // ended finishes it.
    void Add(const CGame& game, const SReplayRecord& record);
    // Writes the footer from the game and closes the file, saying where it
    // is; nothing once finished or dropped, or before the first tick.
    void Finish(const CGame& game);

    // The file being (or last) written; empty before the first tick.
    const std::string& Path() const { return mPath; }

private:
    bool Begin();
    void Drop(const std::string& problem);

    std::string mFolder;
    std::string mPath;
    std::unique_ptr<CReplayWriter> mWriter;
    bool mStarted = false;
};

// The recording of the game being played; null when none is made.
extern CGameRecorder* gRecorder;
