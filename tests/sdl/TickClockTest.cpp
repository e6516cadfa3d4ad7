#include <gtest/gtest.h>

#include "platform/sdl/CTickClock.h"

TEST(TickClockTest, ALateTickDelaysTheNextInsteadOfQueueingABurstAndOnTimeTicksKeepTheirPhase)
{
    CTickClock clock;
    EXPECT_EQ(clock.MsUntilDue(0), UINT32_MAX) << "a stopped timer never fires";
    clock.Start(1000, 20);
    EXPECT_FALSE(clock.Due(1019));
    EXPECT_TRUE(clock.Due(1020));
    clock.Take(1023); // taken a little late
    EXPECT_FALSE(clock.Due(1039));
    EXPECT_TRUE(clock.Due(1040)) << "the next tick stays on the 20 ms grid";
    // Handled 95 ms late: the four periods it covered give one tick.
    clock.Take(1135);
    EXPECT_FALSE(clock.Due(1139));
    EXPECT_EQ(clock.MsUntilDue(1136), 4u);

    // Ticks that each take 30 ms run back to back, one at a time: the game
    // slows down instead of catching up.
    uint64_t now = 1140;
    for (int i = 0; i < 50; ++i) {
        now += clock.MsUntilDue(now);
        ASSERT_TRUE(clock.Due(now));
        clock.Take(now);
        ASSERT_FALSE(clock.Due(now)) << "a second tick pending right after one was taken";
        now += 30;
    }
    EXPECT_EQ(now, 1140u + 50u * 30u);
    clock.Stop();
    EXPECT_FALSE(clock.Due(1000000));
}

// Presenting in step with the display: each tick draws for a while, then its
// present waits for the next retrace of a 60 Hz display. A tick that ends
// past its successor's time still leaves exactly one tick pending, and as
// long as a tick's drawing leaves room for the wait (under one refresh), no
// period of the 20 ms timer is dropped: the game keeps 50 ticks a second.
TEST(TickClockTest, APresentThatWaitsForTheRetraceNeitherQueuesTicksNorSlowsTheGame)
{
    // Times in microseconds; the clock counts whole milliseconds.
    const int64_t refresh = 16667;
    for (int64_t drawing : {1000, 5000, 10000, 14000, 16000}) {
        SCOPED_TRACE(drawing);
        CTickClock clock;
        clock.Start(0, 20);
        int64_t now = 0;
        int ticks = 0, late = 0;
        while (now < 10000000) {
            const uint64_t ms = uint64_t(now / 1000);
            if (!clock.Due(ms)) {
                now = int64_t(ms + clock.MsUntilDue(ms)) * 1000;
                continue;
            }
            clock.Take(ms);
            ASSERT_FALSE(clock.Due(ms)) << "a second tick pending";
            ++ticks;
            const int64_t drawn = now + drawing;
            const int64_t presented = (drawn + refresh - 1) / refresh * refresh; // the next retrace
            late += presented - now > 20000;
            now = presented;
        }
        // Every tick of the 20 ms grid in 10 s: at 20, 40, ..., 9980 ms.
        EXPECT_EQ(ticks, 499) << late << " ticks ended after their successor was due";
    }
}
