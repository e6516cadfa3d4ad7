#pragma once
// The schedule of a periodic timer whose ticks never pile up: a tick is due
// once its time has come; taking it schedules the next one at the first
// multiple of the period after the moment it was taken. So a late tick
// delays the next (never more than one is due at a time) and on-time ticks
// keep their phase. Times are milliseconds of any monotonic clock.

#include <cstdint>

class CTickClock {
public:
    CTickClock();

    void Start(uint64_t now, uint32_t periodMs);
    void Stop();
    bool Running() const { return mPeriod != 0; }

    bool Due(uint64_t now) const;
    // Takes the due tick (call only when Due).
    void Take(uint64_t now);
    // Milliseconds until the next tick is due (0 when due now); UINT32_MAX
    // when stopped.
    uint32_t MsUntilDue(uint64_t now) const;

private:
    uint32_t mPeriod;
    uint64_t mNext;
};
