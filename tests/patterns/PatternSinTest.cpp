#include "patterns/PatternSin.h"
#include "core/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <typeinfo>

namespace {

const FloatArray kPoints[] = {{-1.0f, -1.0f}, {-0.25f, 0.5f}, {0.3f, -0.7f}, {0.9f, 0.1f}};

void ExpectValues(int seed, const std::vector<float>& expected) {
    Random rng(seed);
    PatternSin p(rng, {});
    p.Randomize(2, 1, false, 2);
    FloatArray out(1);
    for (std::size_t k = 0; k < expected.size(); ++k) {
        p.Calculate(kPoints[k], out);
        EXPECT_NEAR(out[0], expected[k], 2e-6) << "seed " << seed << " point " << k;
    }
}

} // namespace

// Reference values from an independent single-precision port; the operators drawn are
// 2 sqrt, 5 xor, 3 and, 4 or.
TEST(PatternSin, MatchesReferenceForSeeds) {
    ExpectValues(1,
                 {0.8985949158668518f, 0.90766841173172f, 0.950157642364502f, 0.7405291199684143f});
    ExpectValues(4, {0.6552734375f, 0.509765625f, 0.71484375f, 0.6943359375f});
    ExpectValues(9, {0.509765625f, 0.765625f, 0.50390625f, 0.630859375f});
    ExpectValues(2024, {0.748046875f, 0.70703125f, 0.7490234375f, 0.73828125f});

    Random rng(1);
    PatternSin p(rng, {});
    EXPECT_EQ(typeid(p.Op()), typeid(BinOpSqrt)); // drawn at construction
    p.Randomize(2, 1, false, 2);
    EXPECT_NEAR(p.Waves().a, 5.801873207092285f, 1e-6f);
    EXPECT_NEAR(p.Waves().f, 0.25754767656326294f, 1e-7f);
    EXPECT_TRUE(p.Modulations().yAmplitudeByX);
    EXPECT_FALSE(p.Modulations().yFrequencyByX);
    EXPECT_TRUE(p.Modulations().xFrequencyByY);
    // One input: a plain sine of x.
    FloatArray out(1);
    const float xs[] = {-0.5f, 0.2f, 0.8f};
    const float expected[] = {0.7372556924819946f, 0.9179708361625671f, 0.29123353958129883f};
    for (int k = 0; k < 3; ++k) {
        p.Calculate(FloatArray{xs[k]}, out);
        EXPECT_NEAR(out[0], expected[k], 2e-6f);
    }
}

TEST(PatternSin, RegularModeHasWholeWavesAndPhasesMinusHalf) {
    Random five(5);
    PatternSin p(five, {});
    p.Randomize(2, 1, true, 2);
    const PatternSin::Wave& w = p.Waves();
    EXPECT_EQ(w.a, 4.0f);
    EXPECT_EQ(w.b, 4.0f);
    EXPECT_EQ(w.d, 1.0f);
    EXPECT_EQ(w.e, 3.0f);
    FloatArray out(1);
    p.Calculate(FloatArray{0.3f, -0.7f}, out);
    EXPECT_NEAR(out[0], 0.943359375f, 1e-6f);
    for (int seed = 1; seed <= 40; ++seed) {
        Random rng(seed);
        PatternSin q(rng, {});
        q.Randomize(2, 1, true, 2);
        const PatternSin::Wave& v = q.Waves();
        EXPECT_EQ(v.c, -0.5f);
        EXPECT_EQ(v.f, -0.5f);
        for (float whole : {v.a, v.b, v.d, v.e}) {
            EXPECT_EQ(whole, std::floor(whole));
            EXPECT_GE(whole, 1.0f);
            EXPECT_LE(whole, 6.0f);
        }
    }
}

TEST(PatternSin, CachedSineOfYDoesNotLeakBetweenRows) {
    // The same point gives the same value whatever was asked before it.
    Random rng(9); // x-frequency and x-phase follow y
    PatternSin p(rng, {});
    p.Randomize(2, 1, false, 2);
    FloatArray out(1);
    p.Calculate(kPoints[2], out);
    const float first = out[0];
    p.Calculate(kPoints[1], out);
    p.Calculate(FloatArray{-0.9f, -0.7f}, out);
    p.Calculate(kPoints[2], out);
    EXPECT_EQ(out[0], first);
}
