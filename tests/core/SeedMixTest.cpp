#include "core/SeedMix.h"

#include <gtest/gtest.h>

#include <bitset>
#include <cstdint>
#include <set>

namespace {

// A small generator of its own for test inputs, independent of the code under test.
std::uint64_t Lcg(std::uint64_t& state) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return state;
}

} // namespace

TEST(SeedMix, ProcessesStartedInTheSameSecondGetDifferentSeeds) {
    const std::uint64_t second = 1767225600ull * 1000000000ull;
    // One per monitor, started together: consecutive process ids, the same clock reading.
    std::set<int> seeds;
    for (std::uint64_t pid = 4000; pid < 4016; ++pid)
        seeds.insert(MixSeed(second, pid));
    // The same process a nanosecond apart.
    for (std::uint64_t ns = 1; ns < 17; ++ns)
        seeds.insert(MixSeed(second + ns, 4000));
    EXPECT_EQ(seeds.size(), 32u);
    EXPECT_NE(FreshSeed(), FreshSeed());
}

TEST(SeedMix, EveryInputBitReachesAboutHalfTheSeedAndNoneIsNegative) {
    std::uint64_t state = 12345;
    long long changed = 0;
    int trials = 0;
    for (int t = 0; t < 200; ++t) {
        const std::uint64_t clock = Lcg(state);
        const std::uint64_t tag = Lcg(state);
        const int base = MixSeed(clock, tag);
        EXPECT_GE(base, 0);
        for (int bit = 0; bit < 64; ++bit) {
            for (const bool inClock : {true, false}) {
                const std::uint64_t flip = std::uint64_t{1} << bit;
                const int other = inClock ? MixSeed(clock ^ flip, tag) : MixSeed(clock, tag ^ flip);
                changed += static_cast<long long>(
                    std::bitset<32>(static_cast<std::uint32_t>(base ^ other)).count());
                ++trials;
            }
        }
    }
    // 31 bits, each flipped with probability one half: 15.5 on average.
    const double mean = static_cast<double>(changed) / trials;
    EXPECT_NEAR(mean, 15.5, 0.3);
}
