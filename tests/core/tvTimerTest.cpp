#include "core/tvTimer.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

TEST(tvTimer, PeriodZeroExpiresAfterOneWholeMillisecond) {
    FakeClock clock;
    tvTimer timer(0);
    clock.AdvanceUs(999);
    EXPECT_FALSE(timer.Expired()); // 0.999 ms truncates to 0
    clock.AdvanceUs(1);
    EXPECT_TRUE(timer.Expired());
    clock.AdvanceUs(500);
    EXPECT_FALSE(timer.Expired()); // it restarted at the firing
}

TEST(tvTimer, ExpiresStrictlyAfterThePeriodMeasuredFromTheLastFiring) {
    FakeClock clock;
    tvTimer pace(40);
    clock.AdvanceMs(40);
    EXPECT_FALSE(pace.Expired());
    clock.AdvanceUs(1000);
    EXPECT_TRUE(pace.Expired()); // 41 ms: a false answer did not move the reference point
    clock.AdvanceMs(40);
    EXPECT_FALSE(pace.Expired());
    clock.AdvanceMs(2);
    EXPECT_TRUE(pace.Expired());
}

TEST(tvTimer, ElapsedRestartsAndTruncates) {
    FakeClock clock;
    tvTimer timer;
    clock.AdvanceUs(1999);
    EXPECT_EQ(timer.Elapsed(), 1);
    EXPECT_EQ(timer.Elapsed(), 0);
    clock.AdvanceMs(1500);
    timer.Reset();
    clock.AdvanceMs(7);
    EXPECT_EQ(timer.Elapsed(), 7);
}

TEST(tvTimer, FallbackUsesTheCoarseClockOnly) {
    FakeClock clock(false);
    tvTimer timer(40);
    clock.AdvanceMs(40);
    EXPECT_FALSE(timer.Expired());
    clock.AdvanceMs(1);
    EXPECT_TRUE(timer.Expired());
    clock.AdvanceMs(25);
    EXPECT_EQ(timer.Elapsed(), 25);
    EXPECT_EQ(clock.counterReads, 0);
}
