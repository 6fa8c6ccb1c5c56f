#include "patterns/PatternCheckered.h"
#include "core/Random.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Reference values from an independent single-precision port (tests' own Python program).
const FloatArray kPoints[] = {{-1.0f, -1.0f}, {-0.25f, 0.5f}, {0.3f, -0.7f}, {0.9f, 0.1f}};

std::vector<float> Values(PatternCalculator& p) {
    std::vector<float> values;
    FloatArray out(1);
    for (const FloatArray& in : kPoints) {
        p.Calculate(in, out);
        values.push_back(out[0]);
    }
    return values;
}

} // namespace

TEST(PatternCheckered, MatchesReferenceForSeeds) {
    Random one(1);
    PatternCheckered a(one, {});
    a.Randomize(2, 1, false, 2);
    EXPECT_EQ(a.Scale(), 3.0f);
    EXPECT_EQ(a.Modulus(), 2);
    EXPECT_EQ(a.Offset(), 1);
    EXPECT_EQ(a.Weights(), (std::vector<int>{65, 91}));
    EXPECT_EQ(Values(a), (std::vector<float>{0.5f, 0.5f, 0.0f, 0.5f}));

    Random thirteen(13);
    PatternCheckered b(thirteen, {});
    b.Randomize(2, 1, false, 2);
    EXPECT_EQ(b.Modulus(), 4);
    EXPECT_EQ(b.Weights(), (std::vector<int>{20, 29}));
    EXPECT_EQ(Values(b), (std::vector<float>{0.0f, 0.0f, 0.75f, 0.5f}));
}

TEST(PatternCheckered, TakesOnlyTheMValuesAndRandomizesOnce) {
    Random rng(1); // m = 2
    PatternCheckered p(rng, {});
    p.Randomize(2, 1, false, 2);
    const std::vector<int> weights = p.Weights();
    p.Randomize(3, 1, false, 2);
    EXPECT_EQ(p.Weights(), weights);
    std::set<float> seen;
    FloatArray in(2), out(1);
    for (int i = -20; i <= 20; ++i) {
        for (int j = -20; j <= 20; ++j) {
            in = {i / 20.0f, j / 20.0f};
            p.Calculate(in, out);
            seen.insert(out[0]);
        }
    }
    EXPECT_EQ(seen, (std::set<float>{0.0f, 0.5f}));
    EXPECT_EQ(p.Channels(3), 1);
    EXPECT_FALSE(p.IsVector());
}
