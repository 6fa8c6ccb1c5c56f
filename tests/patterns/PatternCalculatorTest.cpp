#include "patterns/PatternCalculator.h"
#include "core/IntGrid.h"
#include "core/Random.h"
#include "patterns/PatternCheckered.h"
#include "patterns/PatternFloat.h"
#include "patterns/PatternFractal.h"
#include "patterns/PatternInt.h"
#include "patterns/PatternNetwork.h"
#include "patterns/PatternNoise.h"
#include "patterns/PatternPlasma.h"
#include "patterns/PatternSin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <typeinfo>
#include <vector>

namespace {

using Rows = std::vector<std::vector<int>>;

Rows Cells(const IntGrid& grid) {
    Rows rows(static_cast<std::size_t>(grid.Rows()));
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Columns(); ++c)
            rows[static_cast<std::size_t>(r)].push_back(grid(r, c));
    return rows;
}

const std::type_info& KindOf(int seed, bool rich) {
    Random rng(seed);
    const auto p = PatternCalculator::Create(rng, 1, rich, PatternContext{});
    return typeid(*p);
}

} // namespace

// Kinds drawn by one choose() over the weights network 100, sin 100, fractal 100, int 100,
// float 40, noise 100, plasma 100 when rich, line drawing 0 outside developer mode,
// checkered 5: from an independent port of the generator and the choice.
TEST(PatternCalculator, FactoryDrawsKindsByWeight) {
    const std::type_info* rich[] = {
        &typeid(PatternSin),    &typeid(PatternNetwork), &typeid(PatternNoise),
        &typeid(PatternInt),    &typeid(PatternFractal), &typeid(PatternNetwork),
        &typeid(PatternPlasma), &typeid(PatternFloat),   &typeid(PatternFractal),
        &typeid(PatternSin),    &typeid(PatternPlasma),  &typeid(PatternNoise)};
    const std::type_info* plain[] = {
        &typeid(PatternSin),     &typeid(PatternNetwork), &typeid(PatternNoise),
        &typeid(PatternInt),     &typeid(PatternSin),     &typeid(PatternNetwork),
        &typeid(PatternNoise),   &typeid(PatternInt),     &typeid(PatternFractal),
        &typeid(PatternNetwork), &typeid(PatternNoise),   &typeid(PatternInt)};
    for (int seed = 1; seed <= 12; ++seed) {
        EXPECT_EQ(KindOf(seed, true), *rich[seed - 1]) << seed;
        EXPECT_EQ(KindOf(seed, false), *plain[seed - 1]) << seed;
    }
    // Checkered is rare but offered; plasma never without rich.
    bool checkered = false;
    for (int seed = 1; seed <= 400; ++seed) {
        checkered = checkered || KindOf(seed, true) == typeid(PatternCheckered);
        EXPECT_NE(KindOf(seed, false), typeid(PatternPlasma));
    }
    EXPECT_TRUE(checkered);
    // The factory's draw is one choose(): one uniform before the calculator's own draws.
    Random viaFactory(3), direct(3);
    PatternCalculator::Create(viaFactory, 1, true, PatternContext{});
    direct.next();
    PatternNoise noise(direct, PatternContext{});
    EXPECT_EQ(viaFactory.next(), direct.next());
}

TEST(PatternCalculator, FillGridMirrorsAboutBothCentreLines) {
    // A checkered calculator of seed 13 (m = 4); reference cells from the independent port.
    IntGrid grid;
    Random mirrored(13);
    PatternCheckered a(mirrored, {});
    a.FillGrid(grid, 7, 3, true);
    EXPECT_TRUE(a.IsRandomized());
    EXPECT_EQ(Cells(grid), (Rows{{0, 0, 0},
                                 {192, 192, 192},
                                 {128, 128, 128},
                                 {0, 0, 0}, // the middle row is its own mirror
                                 {128, 128, 128},
                                 {192, 192, 192},
                                 {0, 0, 0}}));
    Random plain(13);
    PatternCheckered b(plain, {});
    b.FillGrid(grid, 7, 3, false);
    EXPECT_EQ(Cells(grid), (Rows{{0, 0, 0},
                                 {192, 192, 192},
                                 {128, 128, 128},
                                 {0, 0, 0},
                                 {64, 64, 64},
                                 {192, 192, 192},
                                 {128, 128, 128}}));
    Random four(4); // m = 2, odd width and even height
    PatternCheckered c(four, {});
    c.FillGrid(grid, 5, 4, true);
    EXPECT_EQ(Cells(grid), (Rows{{128, 0, 0, 128},
                                 {0, 128, 128, 0},
                                 {0, 128, 128, 0},
                                 {0, 128, 128, 0},
                                 {128, 0, 0, 128}}));
}

TEST(PatternCalculator, FillGridMirrorFillsEveryCellOfOddGrids) {
    for (int seed = 1; seed <= 6; ++seed) {
        Random rng(seed);
        const PatternContext context{100, 1, false, nullptr};
        std::unique_ptr<PatternCalculator> p;
        switch (seed % 3) {
        case 0:
            p = std::make_unique<PatternSin>(rng, context);
            break;
        case 1:
            p = std::make_unique<PatternNoise>(rng, context);
            break;
        default:
            p = std::make_unique<PatternCheckered>(rng, context);
        }
        IntGrid grid(9, 7);
        for (int r = 0; r < 9; ++r)
            for (int c = 0; c < 7; ++c)
                grid(r, c) = -1;
        p->FillGrid(grid, 9, 7, true);
        for (int r = 0; r < 9; ++r) {
            for (int c = 0; c < 7; ++c) {
                EXPECT_GE(grid(r, c), 0);
                EXPECT_LT(grid(r, c), 100);
                EXPECT_EQ(grid(r, c), grid(8 - r, 6 - c));
            }
        }
    }
}

TEST(PatternCalculator, CalculateSignedMapsProducedValuesOnly) {
    Random rng(5);
    PatternPlasma p(rng, {});
    p.Prepare(9, 9);
    FloatArray out{0.0f, 0.25f};
    p.CalculateSigned(FloatArray{-1.0f, -1.0f}, out);
    EXPECT_FLOAT_EQ(out[0], 2.0f * 143.0f / 255.0f - 1.0f);
    EXPECT_EQ(out[1], 0.25f); // a channel the plasma does not produce
}

TEST(PatternCalculator, ColourIndexWrapsIntoTheTable) {
    EXPECT_EQ(PatternColourIndex(0.0f, 256), 0);
    EXPECT_EQ(PatternColourIndex(0.5f, 256), 128);
    EXPECT_EQ(PatternColourIndex(0.999f, 256), 255);
    EXPECT_EQ(PatternColourIndex(1.0f, 256), 0);
    EXPECT_EQ(PatternColourIndex(-0.25f, 256), 192);
    EXPECT_EQ(PatternColourIndex(std::numeric_limits<float>::quiet_NaN(), 256), 0);
    EXPECT_EQ(PatternColourIndex(0.5f, 0), 0);
}
