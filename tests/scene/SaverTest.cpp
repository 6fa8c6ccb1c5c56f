#include "scene/Saver.h"
#include "scene/SaverShapes.h"

#include <gtest/gtest.h>

namespace {

TEST(SaverRateTest, BurstAtTheCapGrowsTheBudgetByAFifth) {
    // 30 frames in 1.2 s: 25 + 1 = 26, capped at 25, boosted to 30: 1000 * 30 / 25.
    const auto rate = Saver::RateOfBurst(30, 1200, 1000);
    ASSERT_TRUE(rate);
    EXPECT_EQ(rate->fps, 25);
    EXPECT_EQ(rate->polygons, 1200);
}

TEST(SaverRateTest, SlowBurstShrinksTheBudgetToItsFloor) {
    // 3 frames in 2 s: 1.5 + 1 = 2.5, so 2 frames per second.
    auto rate = Saver::RateOfBurst(3, 2000, 1000);
    ASSERT_TRUE(rate);
    EXPECT_EQ(rate->fps, 2);
    EXPECT_EQ(rate->polygons, 262); // 1000 * 2 / 25 = 80, raised to the floor
    rate = Saver::RateOfBurst(3, 2000, 20000);
    ASSERT_TRUE(rate);
    EXPECT_EQ(rate->polygons, 1600);
    // 10 frames in 1 s: 11 frames per second, 2500 * 11 / 25.
    rate = Saver::RateOfBurst(10, 1000, 2500);
    ASSERT_TRUE(rate);
    EXPECT_EQ(rate->fps, 11);
    EXPECT_EQ(rate->polygons, 1100);
    // No frame at all still counts as one per second.
    rate = Saver::RateOfBurst(0, 5000, 2500);
    ASSERT_TRUE(rate);
    EXPECT_EQ(rate->fps, 1);
    EXPECT_EQ(rate->polygons, 262);
}

TEST(SaverRateTest, BurstsUnderASecondAreNotMeasured) {
    EXPECT_FALSE(Saver::RateOfBurst(24, 999, 1000));
    EXPECT_FALSE(Saver::RateOfBurst(0, 0, 1000));
    EXPECT_TRUE(Saver::RateOfBurst(25, 1000, 1000));
}

TEST(SaverRateTest, BudgetStaysWithinWhatTheSettingsHold) {
    const auto rate = Saver::RateOfBurst(100, 1000, 2000000000);
    ASSERT_TRUE(rate);
    EXPECT_EQ(rate->polygons, 10000000);
}

TEST(SaverCycleTest, SpeedSetsTheCycleLength) {
    EXPECT_EQ(Saver::CycleFramesFor(50), 1500);
    EXPECT_EQ(Saver::CycleFramesFor(0), 3000);
    EXPECT_EQ(Saver::CycleFramesFor(100), 1); // 1500 - 1500 = 0, raised to 1
    EXPECT_EQ(Saver::CycleFramesFor(99), 30);
}

TEST(SaverCycleTest, SlowMachinesPlayShorterScenes) {
    EXPECT_EQ(SaverShapes::LastFrame(1500, 10), 600);
    EXPECT_EQ(SaverShapes::LastFrame(1500, 14), 840);
    EXPECT_EQ(SaverShapes::LastFrame(1500, 15), 1500);
    EXPECT_EQ(SaverShapes::LastFrame(1500, 25), 1500);
    EXPECT_EQ(SaverShapes::LastFrame(3000, 1), 120);
}

} // namespace
