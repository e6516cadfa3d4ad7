#include "app/CGamePace.h"

CGamePace::CGamePace(const int* speeds, int count, int normal)
    : mSpeeds(speeds), mCount(count), mNormal(normal), mIndex(normal)
{
}

CGamePace::SStep CGamePace::Next()
{
    if (mPaused) {
        return SStep{0, false};
    }
    // Half speed owes half a world tick each timer tick and pays it every
    // second one; whole speeds never owe anything.
    const int halves = mHalfTicks + mSpeeds[mIndex];
    mHalfTicks = halves % 2;
    return SStep{halves / 2, true};
}

void CGamePace::TogglePause()
{
    mPaused = !mPaused;
    mPausedForFocus = false;
}

void CGamePace::PauseForFocusLoss()
{
    if (!mPaused) {
        mPaused = true;
        mPausedForFocus = true;
    }
}

void CGamePace::ResumeAfterFocusLoss()
{
    if (mPausedForFocus) {
        mPaused = false;
        mPausedForFocus = false;
    }
}

bool CGamePace::SetIndex(int index)
{
    if (index < 0 || index >= mCount) {
        return false;
    }
    mIndex = index;
    mHalfTicks = 0;
    return true;
}

bool CGamePace::Faster()
{
    return SetIndex(mIndex + 1);
}

bool CGamePace::Slower()
{
    return SetIndex(mIndex - 1);
}

void CGamePace::Reset()
{
    SetIndex(mNormal);
    mPaused = false;
    mPausedForFocus = false;
}
