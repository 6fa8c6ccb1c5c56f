#include "core/WeightedChoice.h"
#include "core/Random.h"

#include <gtest/gtest.h>

#include <array>

TEST(WeightedChoice, ZeroWeightIsNeverDrawn) {
    WeightedChoice wc;
    wc.setWeights({1, 0, 1}, true);
    Random rng(1);
    std::array<int, 3> counts{};
    for (int i = 0; i < 10000; ++i)
        ++counts[static_cast<std::size_t>(wc.choose(rng))];
    EXPECT_EQ(counts[1], 0);
    EXPECT_NEAR(counts[0], 5000, 250);
    EXPECT_NEAR(counts[2], 5000, 250);
}

TEST(WeightedChoice, AllZeroYieldsTheLastIndex) {
    WeightedChoice wc;
    wc.setWeights({0, 0, 0, 0}, false);
    EXPECT_EQ(wc.Cumulative(), (FloatArray{0, 0, 0, 1}));
    Random rng(2);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(wc.choose(rng), 3);
}

TEST(WeightedChoice, ExclusionGivesUpOnTheLastTry) {
    WeightedChoice wc;
    wc.setWeights({1, 1}, false);
    const std::vector<int> all{0, 1};
    Random a(3), b(3);
    wc.choose(a, &all, 10);
    for (int i = 0; i < 10; ++i) // exactly ten draws were taken
        b.next();
    EXPECT_EQ(a.next(), b.next());

    const std::vector<int> one{0};
    Random c(4);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(wc.choose(c, &one, 1000), 1);
}

TEST(WeightedChoice, WithoutExclusionsOneDraw) {
    WeightedChoice wc;
    wc.setWeights({3, 1}, false);
    Random a(8), b(8);
    wc.choose(a);
    b.next();
    EXPECT_EQ(a.next(), b.next());
}

TEST(WeightedChoice, DrawRoundingToOneNeverPicksAZeroWeight) {
    WeightedChoice wc;
    wc.setWeights({1, 1, 0}, false);
    // Find, in one long sequence, a draw that rounds to 1.0f in single precision.
    Random probe(1);
    long long skip = 0;
    while (static_cast<float>(probe.uniform()) < 1.0f)
        ++skip;
    Random rng(1);
    for (long long i = 0; i < skip; ++i)
        rng.next();
    EXPECT_EQ(wc.choose(rng), 1);
}

TEST(WeightedChoice, PerturbKeepsZeroesAndFloorsPositiveWeights) {
    WeightedChoice wc;
    wc.setWeights({5, 0, 1000, 0.001f}, true);
    Random rng(6);
    for (int round = 0; round < 200; ++round) {
        wc.perturb(rng);
        const FloatArray& c = wc.Cumulative();
        ASSERT_EQ(c.size(), 4u);
        EXPECT_FLOAT_EQ(c[1], c[0]); // outcome 1 keeps weight 0
        EXPECT_EQ(c[3], 1.0f);
    }
}

TEST(WeightedChoice, AppendIndexOf) {
    const std::vector<int> kinds{0, 1, 11, 2, 11};
    std::vector<int> out;
    WeightedChoice::AppendIndexOf(kinds, 11, out);
    WeightedChoice::AppendIndexOf(kinds, 99, out);
    WeightedChoice::AppendIndexOf(kinds, 0, out);
    EXPECT_EQ(out, (std::vector<int>{2, 0}));
}
