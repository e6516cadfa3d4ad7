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
