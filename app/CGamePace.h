#pragma once
// The pace of the world against the 20 ms timer: paused or playing, and the
// game speed. For each timer tick it answers how many world ticks run and
// whether red's clicks act, which is all CGame::Tick needs (and all a replay
// records); it draws nothing and reads no key. Main thread only.
//
// A speed is given in world ticks per two timer ticks: 1 is half speed (0
// and 1 world ticks in turn), 2 the normal 50 world ticks a second, 4 twice
// as fast, and so on up to 2 * CGame::kMaxWorldTicks. Clicks act at every
// speed; only a paused tick refuses them.
//
// Pausing has two causes that are told apart: the player's key, and the
// window losing the focus. A pause for the focus ends when the focus comes
// back; the player's pause ends only by the player.

class CGamePace {
public:
    struct SStep {
        int worldTicks;
        bool acceptActions;
    };

    // The player's speeds: 1/2x, 1x, 2x and 4x.
    static constexpr int kPlaySpeeds[] = {1, 2, 4, 8};
    static constexpr int kPlayNormal = 1;

    // Starts playing at speeds[normal]. speeds: ascending, each from 1 to
    // 2 * CGame::kMaxWorldTicks, at least one; kept by pointer (a table
    // that lives as long as the pace).
    CGamePace(const int* speeds, int count, int normal);
    // The player's speeds at 1x.
    CGamePace() : CGamePace(kPlaySpeeds, 4, kPlayNormal) {}

    // The next timer tick.
    SStep Next();

    bool Paused() const { return mPaused; }
    // The player's key: pauses, or ends any pause.
    void TogglePause();
    // The window lost the focus: pauses, unless the game is paused already.
    void PauseForFocusLoss();
    // The focus came back: ends a pause that the focus loss began.
    void ResumeAfterFocusLoss();

    // One speed up or down; false (and nothing changes) at either end.
    bool Faster();
    bool Slower();
    // Back to the normal speed and playing.
    void Reset();

    // World ticks per two timer ticks.
    int Speed() const { return mSpeeds[mIndex]; }
    bool AtNormalSpeed() const { return mIndex == mNormal; }

private:
    bool SetIndex(int index);

    const int* mSpeeds;
    int mCount;
    int mNormal;
    int mIndex;
    int mHalfTicks = 0; // world ticks owed, in halves (0 or 1)
    bool mPaused = false;
    bool mPausedForFocus = false;
};
