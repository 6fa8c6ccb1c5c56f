#include "motion/ColorChanger.h"
#include "core/Random.h"
#include "motion/ColorChangerCycle.h"
#include "motion/ColorChangerNone.h"
#include "motion/ColorChangerPosition.h"
#include "motion/MotionContext.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>
#include <typeinfo>

namespace {

std::set<std::string> KindsWithBands(int bands) {
    const MotionContext context{256, bands, 1.0f, 25.0f, 1.0f};
    std::set<std::string> kinds;
    for (int seed = 1; seed <= 300; ++seed) {
        Random rng(seed);
        auto changer = ColorChanger::Create(rng, context);
        kinds.insert(typeid(*changer).name());
    }
    return kinds;
}

} // namespace

TEST(ColorChanger, VaryingKindsOnlyForTablesOfFewBands) {
    EXPECT_EQ(KindsWithBands(11), std::set<std::string>{typeid(ColorChangerNone).name()});
    EXPECT_EQ(KindsWithBands(10), (std::set<std::string>{typeid(ColorChangerNone).name(),
                                                         typeid(ColorChangerCycle).name(),
                                                         typeid(ColorChangerPosition).name()}));
}

TEST(ColorChanger, CycleFollowsTheFrameAndNoneStays) {
    Random rng(1);
    ColorChangerCycle cycle(rng);
    ColorChangerNone none(rng);
    EXPECT_EQ(cycle.Index(0, 1, 2, 3), 0);
    EXPECT_EQ(cycle.Index(977, 1, 2, 3), 977);
    EXPECT_EQ(cycle.Clone()->Index(5, 0, 0, 0), 5);
    EXPECT_EQ(none.Index(977, 1, 2, 3), 0);
}

TEST(ColorChanger, PositionCellsTruncateTowardZeroAndClampBelowZero) {
    int seed = 1;
    for (;; ++seed) {
        Random rng(seed);
        ColorChangerPosition probe(rng);
        if (probe.CellsX() == 3 && probe.CellsY() == 2 && probe.CellsZ() == 5)
            break;
        ASSERT_LT(seed, 5000);
    }
    Random rng(seed);
    ColorChangerPosition grid(rng);
    struct Case {
        float x, y, z;
        int index;
    };
    const Case cases[] = {
        {0, 0, 0, 16},            // cells 1, 1, 2
        {7.5f, 7.5f, 7.5f, 39},   // the far corner: past 30, the table wraps it
        {-7.6f, -7.6f, -7.6f, 0}, // just outside: -0.02 truncates to cell 0
        {-7.4f, 7.4f, -7.4f, 3},  // cells 0, 1, 0
        {-30, 0, 0, 11},          // cell -4 on x, still positive overall
        {0, 0, -30, 0},           // cell -7 on z: -38, clamped
        {-30, -30, -30, 0},       // all negative
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid.Index(0, c.x, c.y, c.z), c.index) << c.x << "," << c.y << "," << c.z;

    auto copy = grid.Clone();
    EXPECT_EQ(copy->Index(0, 0, 0, 0), 16);

    // Far away or broken positions still give an index the table can wrap.
    EXPECT_GE(grid.Index(0, 1e30f, 0, 0), 0);
    EXPECT_GE(grid.Index(0, 0, 0, std::numeric_limits<float>::quiet_NaN()), 0);
}
