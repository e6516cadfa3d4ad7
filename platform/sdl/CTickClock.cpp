#include "platform/sdl/CTickClock.h"

CTickClock::CTickClock() : mPeriod(0), mNext(0) {}

void CTickClock::Start(uint64_t now, uint32_t periodMs)
{
    mPeriod = periodMs == 0 ? 1 : periodMs;
    mNext = now + mPeriod;
}

void CTickClock::Stop()
{
    mPeriod = 0;
}

bool CTickClock::Due(uint64_t now) const
{
    return mPeriod != 0 && now >= mNext;
}

void CTickClock::Take(uint64_t now)
{
    if (mPeriod == 0) {
        return;
    }
    if (now < mNext) {
        return;
    }
    // The first multiple of the period after now: the periods missed while
    // the tick waited are dropped, not delivered later.
    uint64_t missed = (now - mNext) / mPeriod;
    mNext += (missed + 1) * mPeriod;
}

uint32_t CTickClock::MsUntilDue(uint64_t now) const
{
    if (mPeriod == 0) {
        return UINT32_MAX;
    }
    return now >= mNext ? 0 : static_cast<uint32_t>(mNext - now);
}
