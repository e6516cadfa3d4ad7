#include <gtest/gtest.h>

#include "platform/sdl/CTickClock.h"

TEST(TickClockTest, OnTimeTicksKeepTheirPhase)
{
    CTickClock clock;
    EXPECT_FALSE(clock.Due(0));
    EXPECT_EQ(clock.MsUntilDue(0), UINT32_MAX) << "a stopped timer never fires";
    clock.Start(1000, 20);
    EXPECT_FALSE(clock.Due(1019));
    EXPECT_EQ(clock.MsUntilDue(1005), 15u);
    EXPECT_TRUE(clock.Due(1020));
    clock.Take(1023); // taken a little late
    EXPECT_FALSE(clock.Due(1039));
    EXPECT_TRUE(clock.Due(1040)) << "the next tick stays on the 20 ms grid";
}

TEST(TickClockTest, ALateTickDelaysTheNextInsteadOfQueueingABurst)
{
    CTickClock clock;
    clock.Start(0, 20);
    // A tick handled 95 ms late: the four periods it covered give one tick.
    ASSERT_TRUE(clock.Due(115));
    clock.Take(115);
    EXPECT_FALSE(clock.Due(115));
    EXPECT_FALSE(clock.Due(119));
    EXPECT_TRUE(clock.Due(120));
    EXPECT_EQ(clock.MsUntilDue(116), 4u);

    // Ticks that each take 30 ms run back to back, one at a time: the game
    // slows down instead of catching up.
    CTickClock slow;
    slow.Start(0, 20);
    uint64_t now = 20;
    int ticks = 0;
    for (int i = 0; i < 50; ++i) {
        now += slow.MsUntilDue(now);
        ASSERT_TRUE(slow.Due(now));
        slow.Take(now);
        ASSERT_FALSE(slow.Due(now)) << "a second tick pending right after one was taken";
        now += 30; // the handler
        ++ticks;
    }
    EXPECT_EQ(ticks, 50);
    EXPECT_EQ(now, 20u + 50u * 30u);

    slow.Stop();
    EXPECT_FALSE(slow.Due(1000000));
}
