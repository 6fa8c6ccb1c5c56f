#include "patterns/PatternSinFM.h"
#include "core/DrawGate.h"
#include "core/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

class StopGate : public DrawGate {
public:
    bool CanDraw() override {
        ++asked;
        return false;
    }
    int asked = 0;
};

} // namespace

// Reference values from an independent single-precision port.
TEST(PatternSinFM, MatchesReferenceForSeeds) {
    Random three(3); // accepted at once: sum mode, frequency mode, 1 stage, 7 chains
    PatternSinFM a(three, {});
    a.Randomize(1, 1, false, 2);
    ASSERT_TRUE(a.IsRandomized());
    EXPECT_TRUE(a.SumMode());
    EXPECT_FALSE(a.PhaseMode());
    EXPECT_EQ(a.Stages(), 1);
    EXPECT_EQ(a.Chains(), 7);
    EXPECT_NEAR(a.Evaluate(-0.8f), 0.28542059659957886f, 1e-5f);
    EXPECT_NEAR(a.Evaluate(0.1f), 0.24521782994270325f, 1e-5f);
    EXPECT_NEAR(a.Evaluate(0.65f), 0.5606069564819336f, 1e-5f);
    EXPECT_NEAR(a.Slope(-0.8f), 1.2209616899490356f, 1e-5f);
    EXPECT_NEAR(a.Slope(0.1f), 2.7765445709228516f, 1e-5f);
    FloatArray out(1);
    a.Calculate(FloatArray{0.65f, 0.9f}, out); // y is ignored
    EXPECT_NEAR(out[0], 0.5606069564819336f * 0.5f + 0.5f, 1e-5f);

    Random eleven(11); // six rounds; product mode
    PatternSinFM b(eleven, {});
    b.Randomize(1, 1, false, 2);
    EXPECT_FALSE(b.SumMode());
    EXPECT_EQ(b.Chains(), 5);
    EXPECT_NEAR(b.Evaluate(-0.8f), -0.06458642333745956f, 1e-6f);
    EXPECT_NEAR(b.Evaluate(0.1f), -0.0017520226538181305f, 1e-6f);
    EXPECT_NEAR(b.Evaluate(0.65f), 0.05596689134836197f, 1e-6f);
    EXPECT_NEAR(b.Slope(-0.8f), 1.9390544891357422f, 1e-5f);
}

TEST(PatternSinFM, BiasOneIsTheSimplestForm) {
    Random six(6); // accepted in the third round
    PatternSinFM p(six, {});
    p.Randomize(1, 1, false, 1);
    EXPECT_TRUE(p.SumMode());
    EXPECT_TRUE(p.PhaseMode());
    EXPECT_EQ(p.Stages(), 1);
    EXPECT_EQ(p.Chains(), 10);
    EXPECT_NEAR(p.Evaluate(0.3f), -0.08186255395412445f, 1e-5f);
    EXPECT_NEAR(p.Slope(0.3f), -0.37019041180610657f, 1e-5f);
}

TEST(PatternSinFM, RegularDrawsWholeFrequenciesAndNoPhase) {
    for (int seed = 1; seed <= 20; ++seed) {
        Random rng(seed);
        PatternSinFM p(rng, {});
        p.Randomize(1, 1, true, 2);
        ASSERT_TRUE(p.IsRandomized());
        float largest = 0.0f;
        for (int r = 0; r < p.Chains(); ++r) {
            for (int s = 0; s < p.Stages(); ++s) {
                EXPECT_EQ(p.Phase(r, s), 0.0f);
                EXPECT_EQ(p.Frequency(r, s), std::floor(p.Frequency(r, s)));
                EXPECT_GE(p.Frequency(r, s), 1.0f);
                EXPECT_NE(p.Amplitude(r, s), 0.0f);
                largest = std::max(largest, p.Frequency(r, s));
            }
        }
        EXPECT_GT(largest, 1.0f);
        for (float x = -1.0f; x <= 1.0f; x += 0.125f) {
            EXPECT_LE(std::fabs(p.Evaluate(x)), 1.0f + 1e-6f);
        }
    }
}

TEST(PatternSinFM, StoppedSearchStaysUnrandomizedAfterOneRound) {
    StopGate gate;
    Random rng(11); // needs six rounds
    PatternSinFM p(rng, PatternContext{256, 1, false, &gate});
    p.Randomize(1, 1, false, 2);
    EXPECT_FALSE(p.IsRandomized());
    EXPECT_EQ(gate.asked, 1);
    EXPECT_GE(p.Chains(), 1); // the last draw stands
    // A later call searches again.
    p.Randomize(1, 1, false, 2);
    EXPECT_EQ(gate.asked, 2);
}
