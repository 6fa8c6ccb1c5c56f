#include "patterns/PatternPlasma.h"
#include "core/DrawGate.h"
#include "core/IntGrid.h"
#include "core/Random.h"

#include <gtest/gtest.h>

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

class StopGate : public DrawGate {
public:
    bool CanDraw() override { return false; }
};

} // namespace

// Reference grids from an independent port of the subdivision.
TEST(PatternPlasma, MatchesReferenceGrids) {
    Random five(5);
    PatternPlasma a(five, {});
    EXPECT_EQ(a.Roughness(), 1);
    EXPECT_EQ(a.Top(), 255);
    IntGrid grid;
    a.FillGrid(grid, 9, 9, true);
    EXPECT_EQ(Cells(grid), (Rows{{143, 126, 112, 96, 80, 59, 41, 24, 9},
                                 {134, 122, 112, 99, 84, 68, 54, 37, 26},
                                 {123, 116, 112, 98, 87, 80, 72, 56, 45},
                                 {115, 113, 105, 97, 94, 84, 80, 67, 60},
                                 {110, 105, 103, 102, 100, 93, 88, 80, 75},
                                 {102, 103, 104, 101, 105, 96, 96, 96, 91},
                                 {98, 103, 106, 106, 108, 105, 105, 105, 106},
                                 {90, 91, 99, 100, 108, 115, 113, 117, 119},
                                 {84, 88, 93, 102, 111, 119, 125, 131, 136}}));

    Random twelve(12);
    PatternPlasma b(twelve, {});
    b.FillGrid(grid, 5, 7, false);
    EXPECT_EQ(Cells(grid), (Rows{{251, 185, 154, 126, 68, 38, 11},
                                 {223, 168, 142, 120, 70, 45, 18},
                                 {194, 151, 133, 115, 69, 47, 30},
                                 {164, 135, 118, 104, 67, 53, 38},
                                 {137, 113, 102, 92, 67, 56, 49}}));

    Random three(3);
    PatternPlasma c(three, {});
    EXPECT_EQ(c.Roughness(), 4);
    c.FillGrid(grid, 6, 5, false);
    EXPECT_EQ(Cells(grid), (Rows{{75, 84, 94, 105, 116},
                                 {101, 101, 101, 101, 104},
                                 {127, 117, 108, 100, 92},
                                 {153, 134, 116, 97, 80},
                                 {159, 143, 120, 96, 74},
                                 {166, 152, 124, 96, 68}}));
}

TEST(PatternPlasma, TinyGridsAndStoppedWorkKeepTheirStartValues) {
    IntGrid grid;
    Random five(5);
    PatternPlasma a(five, {});
    a.FillGrid(grid, 2, 2, false);
    EXPECT_EQ(Cells(grid), (Rows{{143, 136}, {28, 123}}));
    Random again(5);
    PatternPlasma b(again, {});
    b.FillGrid(grid, 1, 1, false);
    EXPECT_EQ(Cells(grid), (Rows{{143}}));

    StopGate gate;
    Random three(3);
    PatternPlasma c(three, PatternContext{256, 1, false, &gate});
    c.FillGrid(grid, 6, 5, false);
    EXPECT_EQ(Cells(grid), (Rows{{75, 180, 210, 14, 116},
                                 {48, 242, 164, 96, 106},
                                 {200, 3, 152, 184, 210},
                                 {33, 14, 108, 235, 3},
                                 {246, 83, 58, 229, 199},
                                 {180, 193, 214, 239, 68}}));
}

TEST(PatternPlasma, ValuesStayWithinTopLevel) {
    for (int seed = 1; seed <= 10; ++seed) {
        Random rng(seed);
        PatternPlasma p(rng, PatternContext{16, 1, false, nullptr}); // M = 15: clamps often
        IntGrid grid;
        p.FillGrid(grid, 33, 20, false);
        for (int r = 0; r < grid.Rows(); ++r) {
            for (int c = 0; c < grid.Columns(); ++c) {
                EXPECT_GE(grid(r, c), 0);
                EXPECT_LE(grid(r, c), 15);
            }
        }
    }
}

TEST(PatternPlasma, CalculateLooksUpItsOwnGrid) {
    Random five(5);
    PatternPlasma p(five, {});
    p.Prepare(9, 9); // the reference grid above
    FloatArray out(1);
    p.Calculate(FloatArray{-1.0f, -1.0f}, out);
    EXPECT_FLOAT_EQ(out[0], 143.0f / 255.0f);
    p.Calculate(FloatArray{0.3f, -0.7f}, out); // row trunc(5.2), column trunc(1.2)
    EXPECT_FLOAT_EQ(out[0], 103.0f / 255.0f);
    p.Calculate(FloatArray{1.0f, 1.0f}, out);
    EXPECT_FLOAT_EQ(out[0], 136.0f / 255.0f);
    p.Calculate(FloatArray{5.0f, -7.0f}, out); // clamped to the grid
    EXPECT_FLOAT_EQ(out[0], 84.0f / 255.0f);

    Random rng(1);
    PatternPlasma lazy(rng, {});
    lazy.Calculate(FloatArray{0.0f, 0.0f}, out);
    EXPECT_EQ(lazy.Grid().Rows(), 64);
    EXPECT_EQ(lazy.Grid().Columns(), 64);
}
