#include "patterns/PatternNoise.h"
#include "core/Random.h"

#include <gtest/gtest.h>

namespace {

const FloatArray kPoints[] = {{-1.0f, -1.0f}, {-0.25f, 0.5f}, {0.3f, -0.7f}, {0.9f, 0.1f}};

} // namespace

// Reference values from an independent single-precision port.
TEST(PatternNoise, MatchesReferenceForSeeds) {
    struct Case {
        int seed, kind, nx, ny;
        float values[4];
    };
    const Case cases[] = {
        {2,
         0,
         2,
         32,
         {0.28952768445014954f, 0.5960270166397095f, 0.4152117967605591f, 0.47943970561027527f}},
        {8,
         1,
         16,
         16,
         {0.7803322672843933f, 0.4287129044532776f, 0.13750265538692474f, 0.7867182493209839f}},
        {31,
         0,
         16,
         128,
         {0.3284163773059845f, 0.27558231353759766f, 0.2564722001552582f, 0.5629399418830872f}},
    };
    for (const Case& c : cases) {
        Random rng(c.seed);
        PatternNoise p(rng, {});
        p.Randomize(0, 0, true, 0);
        EXPECT_EQ(p.Kind(), c.kind);
        EXPECT_EQ(p.NodesX(), c.nx);
        EXPECT_EQ(p.NodesY(), c.ny);
        FloatArray out(1);
        for (int k = 0; k < 4; ++k) {
            p.Calculate(kPoints[k], out);
            EXPECT_NEAR(out[0], c.values[k], 2e-6f) << "seed " << c.seed << " point " << k;
        }
    }
}

TEST(PatternNoise, TwoNodesInterpolateBetweenMinusOneAndOne) {
    Random rng(2); // linear, nx = 2
    PatternNoise p(rng, {});
    p.Randomize(2, 1, false, 2);
    ASSERT_EQ(p.NodesX(), 2);
    FloatArray out(1);
    // On column 0 (x = -1) the value runs straight from node (0, 0) at y = -1 to (1, 0) at 1.
    for (float y : {-1.0f, -0.5f, 0.0f, 0.75f, 1.0f}) {
        p.Calculate(FloatArray{-1.0f, y}, out);
        const float t = (y + 1.0f) / 2.0f;
        EXPECT_NEAR(out[0], (1.0f - t) * p.Node(0, 0) + t * p.Node(1, 0), 1e-6f) << y;
    }
}

TEST(PatternNoise, StaysWithinZeroToOne) {
    for (int seed = 1; seed <= 12; ++seed) {
        Random rng(seed);
        PatternNoise p(rng, {});
        p.Randomize(2, 1, false, 2);
        FloatArray out(1);
        for (int i = -8; i <= 8; ++i) {
            for (int j = -8; j <= 8; ++j) {
                p.Calculate(FloatArray{i / 8.0f, j / 8.0f}, out);
                EXPECT_GE(out[0], 0.0f);
                EXPECT_LE(out[0], 1.0f);
            }
        }
    }
}

TEST(PatternNoise, RememberedRowsGiveTheValuesOfAFreshQuery) {
    // A first row of more distinct y values than are remembered, then rows that meet both
    // forgotten and remembered ones: every value equals that of a calculator asked this point
    // alone.
    for (int seed : {8, 31}) {
        Random rng(seed);
        PatternNoise walked(rng, {});
        walked.Randomize(2, 1, false, 2);
        FloatArray out(1), fresh(1);
        int reach = 50;
        for (int i : {-3, 2, -3}) {
            for (int j = -reach; j <= reach; ++j) {
                const FloatArray in{i / 3.0f, j / 50.0f};
                walked.Calculate(in, out);
                Random again(seed);
                PatternNoise alone(again, {});
                alone.Randomize(2, 1, false, 2);
                alone.Calculate(in, fresh);
                ASSERT_EQ(out[0], fresh[0]) << seed << " " << i << " " << j;
            }
            reach = 20;
        }
    }
}
