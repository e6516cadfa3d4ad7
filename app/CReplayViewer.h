#pragma once
// Plays a recorded game in the window (tavrin --replay FILE). Each timer
// tick plays recorded ticks through CGame::Tick exactly as they were
// recorded, as many as the viewer's pace says (the speeds below; none while
// paused); the viewer's own mouse and keys never reach the game. The cursor
// drawn is the recorded one, a recorded pause shows the "Paused" picture,
// and once the records run out the game stands still: on its end screen if
// it reached one, otherwise under the "End of replay" picture. A file cut
// short plays up to its last checked record and says on stderr where it
// stopped.
//
// Main thread only. One object, gViewer, made by start-up before anything
// else for a replay, deleted by Shutdown before the device.

#include <string>

#include "app/CGamePace.h"
#include "game/CReplayReader.h"
#include "game/ReplayFormat.h"

class CGame;
namespace Orvel {
class DXDevice;
class DXOverlay;
} // namespace Orvel

class CReplayViewer {
public:
    // The viewer's speeds (CGamePace, recorded ticks per two timer ticks):
    // 1/2x, 1x, 2x, 4x and 8x.
    static constexpr int kSpeeds[] = {1, 2, 4, 8, 16};
    static constexpr int kSpeedCount = 5;
    static constexpr int kNormal = 1;
    static constexpr int kEndWidth = 320, kEndHeight = 88;

    CReplayViewer() = default;
    ~CReplayViewer();
    CReplayViewer(const CReplayViewer&) = delete;
    CReplayViewer& operator=(const CReplayViewer&) = delete;

    // Opens the file and checks it to its end; false, with the problem
    // naming the file, when it is not a replay or is corrupted. A file cut
    // short is accepted. A recording of another version of the game is
    // reported and played.
    bool Open(const std::string& path, std::string& error);
    const SReplayHeader& Header() const { return mReader.Header(); }
    // Start-up: the "End of replay" picture from the data folder.
    void LoadPictures(Orvel::DXDevice* device);

    // Plays up to `records` records into game; the last one ends the replay.
    void Play(CGame& game, int records);
    bool Ended() const { return mEnded; }
    // The cursor of the record played last (of the first before any).
    int CursorX() const { return mShown.input.cursorX; }
    int CursorY() const { return mShown.input.cursorY; }
    // The record played last was a paused tick of the recorded game.
    bool RecordedPause() const { return mPlayed > 0 && !mEnded && !mShown.acceptActions; }
    // After the game's sprites: "End of replay" once the records have run
    // out before the game's end.
    void AddSprites(const CGame& game) const;

private:
    // The record after the one played; false at the end of the records.
    bool ReadNext();
    void End(const CGame& game);

    std::string mPath;
    CReplayReader mReader;
    CReplayReader::Result mResult = CReplayReader::FAILED;
    SReplayRecord mNext;  // the record to play next, while mHaveNext
    SReplayRecord mShown; // the record played last
    bool mHaveNext = false;
    bool mEnded = false;
    long long mPlayed = 0;
    Orvel::DXOverlay* mEndImage = nullptr;
};

// The replay being watched; null in a game that is played.
extern CReplayViewer* gViewer;
