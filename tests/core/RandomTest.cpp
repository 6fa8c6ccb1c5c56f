#include "core/Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Draws(Random& rng, int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i)
        out.push_back(rng.next());
    return out;
}

} // namespace

// Reference values from an independent implementation of the subtractive method.
TEST(Random, RawDrawsMatchReferenceSequence) {
    Random a(42);
    EXPECT_EQ(Draws(a, 5),
              (std::vector<int>{634670766, 791644133, 941623396, 894891413, 435112290}));
    Random b(12345);
    EXPECT_EQ(Draws(b, 5),
              (std::vector<int>{860606660, 925464728, 418061483, 289637592, 142246568}));
    Random c(0);
    EXPECT_EQ(Draws(c, 3), (std::vector<int>{533923850, 323008803, 401103978}));
    Random d(42);
    EXPECT_EQ(Draws(d, 1000).back(), 627465363);
}

TEST(Random, SeedingRestartsAndRemembersTheSeed) {
    Random rng(7);
    const auto first = Draws(rng, 10);
    rng.setSeed(-42);
    EXPECT_EQ(rng.seed(), -42);
    Random positive(42);
    EXPECT_EQ(Draws(rng, 100), Draws(positive, 100)); // the sign of a seed does not matter
    rng.setSeed(7);
    EXPECT_EQ(Draws(rng, 10), first);
    // The remainder wraps: a seed past the seed constant folds back into range.
    Random big(2000000000);
    Random zero(0);
    EXPECT_EQ(Draws(big, 20), Draws(zero, 20));
    Random lowest(-2147483647 - 1);
    for (int v : Draws(lowest, 200)) {
        EXPECT_GE(v, 0);
        EXPECT_LT(v, Random::MBIG);
    }
}

TEST(Random, DerivedDrawsStayInRange) {
    Random rng(3);
    for (int i = 0; i < 20000; ++i) {
        const double u = rng.uniform();
        EXPECT_GE(u, 0.0);
        EXPECT_LT(u, 1.0);
        const double s = rng.symmetric();
        EXPECT_GE(s, -1.0);
        EXPECT_LT(s, 1.0);
        const int f = rng.flip();
        EXPECT_TRUE(f == 0 || f == 1);
        const int b = rng.below(7);
        EXPECT_GE(b, 0);
        EXPECT_LT(b, 7);
    }
}

TEST(Random, BelowZeroTakesADrawAndGivesZero) {
    Random a(11), b(11);
    EXPECT_EQ(a.below(0), 0);
    b.next();
    EXPECT_EQ(a.next(), b.next());
}

TEST(Random, BelowTruncatesUniformTimesN) {
    Random a(42), b(42);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(a.below(1000), static_cast<int>(b.next() * 1e-9 * 1000));
}

TEST(Random, SkewedBiasRules) {
    Random a(5), b(5);
    for (int i = 0; i < 100; ++i) // bias 0 is bias 1, which is one below()
        EXPECT_EQ(a.skewed(10, 0), b.below(10));
    Random c(5), d(5);
    for (int i = 0; i < 100; ++i) // a negative bias mirrors the positive one
        EXPECT_EQ(c.skewed(10, -3), 9 - d.skewed(10, 3));
    Random e(9);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(e.skewed(1, 4), 0);
    // A larger positive bias leans harder toward 0.
    Random f(1);
    long sum1 = 0, sum5 = 0;
    for (int i = 0; i < 5000; ++i) {
        sum1 += f.skewed(100, 1);
        sum5 += f.skewed(100, 5);
    }
    EXPECT_GT(sum1, 3 * sum5);
}
