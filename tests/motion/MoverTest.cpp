#include "core/Random.h"
#include "motion/MotionContext.h"
#include "motion/MoverBounce.h"
#include "motion/MoverFollow.h"
#include "motion/MoverPolar.h"
#include "motion/MoverSin.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

int Sign(Random& rng) {
    return rng.below(2) == 1 ? 1 : -1;
}

class MoverTest : public ::testing::Test {
protected:
    const MotionContext m_Motion{256, 4, 1.0f, 25.0f, 1.0f};
};

} // namespace

TEST_F(MoverTest, SinReplaysItsDrawsInOrder) {
    const int seed = 4711, P = 1000, k = 3, n = 4;
    Random rng(seed);
    MoverSin mover(rng, m_Motion);
    const int offset = mover.Prepare(P, k, n);

    Random ref(seed);
    ref.uniform(); // colour by spread
    const double range[3] = {ref.uniform() * 7.5, ref.uniform() * 7.5, ref.uniform() * 7.5};
    const int bias = ref.skewed(10, 3) + 1;
    const int mult[3] = {ref.below(10) + 1, ref.below(10) + 1, ref.below(10) + 1};
    double amp[3];
    for (int axis = 0; axis < 3; ++axis) {
        const int r1 = ref.below(bias);
        const int s = Sign(ref);
        const int r3 = ref.below(n);
        amp[axis] = (r3 + 1.0) / n * s * ((r1 + 1.0) / bias * range[axis]);
    }
    EXPECT_EQ(mover.StepBias(), static_cast<float>(bias));
    EXPECT_EQ(offset, k + k * mult[0] + k * mult[1]);
    EXPECT_EQ(rng.next(), ref.next()); // nothing more was drawn

    for (const float t : {0.0f, 137.0f, 500.0f, 999.0f}) {
        float p[3];
        mover.Advance(p[0], p[1], p[2], t);
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(p[axis], std::sin(t * mult[axis] * kPi / P) * amp[axis], 1e-5) << t;
    }
    EXPECT_TRUE(mover.IsVisible());
}

// Two scenes composed side by side: one scene's movers must not scale another's amplitudes.
TEST_F(MoverTest, SinScenesComposedTogetherReplayAsAlone) {
    const auto path = [](MoverSin& mover) {
        mover.Prepare(1000, 3, 4);
        std::vector<float> p(3);
        mover.Advance(p[0], p[1], p[2], 137.0f);
        return p;
    };
    Random aloneRng(1);
    MoverSin alone(aloneRng, m_Motion);
    const std::vector<float> expected = path(alone);

    Random first(1), second(2);
    MoverSin a(first, m_Motion);
    MoverSin b(second, m_Motion); // seed 2 draws another step bias than seed 1
    ASSERT_NE(a.StepBias(), b.StepBias());
    EXPECT_EQ(path(a), expected);
}

TEST_F(MoverTest, PolarSwingsAlongItsLine) {
    const int seed = 99, P = 600, k = 7;
    Random rng(seed);
    MoverPolar mover(rng, m_Motion);
    EXPECT_TRUE(mover.ReversesDirection());
    const int offset = mover.Prepare(P, k);

    Random ref(seed);
    ref.uniform();
    const double theta = ref.below(360), phi = ref.below(360);
    const double amplitude = ((1.0 - ref.uniform()) * 13.0 + 2.0) / 2.0;
    const int b = ref.below(10);
    EXPECT_EQ(offset, k * (b + 2));
    EXPECT_FLOAT_EQ(mover.Amplitude(), static_cast<float>(amplitude));

    const double dir[3] = {std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi),
                           std::cos(theta)};
    for (const float t : {0.0f, 50.0f, 433.0f}) {
        float p[3];
        mover.Advance(p[0], p[1], p[2], t);
        const double d = std::fabs(std::sin(t * (b + 1) * kPi / P)) * amplitude;
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(p[axis], d * dir[axis], 1e-5);
    }

    // A clone swings no further than its source.
    auto clone = mover.Clone();
    EXPECT_LE(static_cast<MoverPolar&>(*clone).Amplitude(), mover.Amplitude());
}

TEST_F(MoverTest, SinglePathMoversStartAtTheOrigin) {
    Random rng(5);
    MoverSin sin(rng, m_Motion);
    MoverPolar polar(rng, m_Motion);
    MoverFollow follow(rng, m_Motion);
    sin.Prepare(1500, 10, 3);
    polar.Prepare(1500, 10);
    follow.Prepare(1500, 10, 1.3f);
    float x = 1, y = 1, z = 1;
    for (Mover* mover : std::vector<Mover*>{&sin, &polar, &follow}) {
        mover->StartPosition(x, y, z);
        EXPECT_EQ(x, 0.0f);
        EXPECT_EQ(y, 0.0f);
        EXPECT_EQ(z, 0.0f);
    }
    sin.Advance(x, y, z, 0.0f);
    EXPECT_EQ(std::fabs(x) + std::fabs(y) + std::fabs(z), 0.0f);
    polar.Advance(x, y, z, 0.0f);
    EXPECT_EQ(std::fabs(x) + std::fabs(y) + std::fabs(z), 0.0f);
    follow.Advance(x, y, z, 0.0f);
    EXPECT_EQ(std::fabs(x) + std::fabs(y) + std::fabs(z), 0.0f);
}

TEST_F(MoverTest, FollowGroupsSpreadAndCloseInPulses) {
    const int P = 800;
    Random rng(31);
    std::vector<std::unique_ptr<Mover>> movers;
    movers.push_back(std::make_unique<MoverFollow>(rng, m_Motion));
    for (int i = 0; i < 30; ++i)
        movers.push_back(movers.front()->Clone()); // shared ranges: same figure per group

    const auto& first = static_cast<const MoverFollow&>(*movers.front());
    const int groups = first.GroupCount();
    ASSERT_GE(groups, 1);
    ASSERT_LE(groups, 10);
    std::vector<std::set<int>> indexes(static_cast<std::size_t>(groups));
    for (auto& mover : movers) {
        auto& follow = static_cast<MoverFollow&>(*mover);
        follow.Prepare(P, 1, 1.0f);
        indexes[follow.Group()].insert(follow.MemberIndex());
    }
    int total = 0;
    for (int g = 0; g < groups; ++g) {
        const int members = first.MemberCount(g);
        total += members;
        // Member indexes are 0 .. m - 1 in their group.
        EXPECT_EQ(static_cast<int>(indexes[g].size()), members);
        if (members > 0) {
            EXPECT_EQ(*indexes[g].rbegin(), members - 1);
        }
        const float pulse = first.PulsePeriod(g);
        EXPECT_TRUE(pulse == 800 || pulse == 400 || pulse == 200 || pulse == 100) << pulse;
    }
    EXPECT_EQ(total, 31);

    // At the peak of a pulse the members sit evenly around the figure, so their positions
    // sum to zero; at its end they coincide.
    int checked = 0;
    for (int g = 0; g < groups; ++g) {
        if (first.MemberCount(g) < 2)
            continue;
        const float pulse = first.PulsePeriod(g);
        double sum[3] = {0, 0, 0};
        std::vector<std::array<float, 3>> closed;
        for (auto& mover : movers) {
            auto& follow = static_cast<MoverFollow&>(*mover);
            if (follow.Group() != g)
                continue;
            float p[3];
            follow.Advance(p[0], p[1], p[2], pulse / 2);
            for (int axis = 0; axis < 3; ++axis)
                sum[axis] += p[axis];
            follow.Advance(p[0], p[1], p[2], pulse);
            closed.push_back({p[0], p[1], p[2]});
        }
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(sum[axis], 0.0, 1e-4) << "group " << g;
            for (const auto& p : closed)
                EXPECT_NEAR(p[axis], closed.front()[axis], 1e-4);
        }
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST_F(MoverTest, FollowStretchesItsFigureByTheAspectRatio) {
    float wide[3], square[3];
    for (const float aspect : {1.0f, 2.0f}) {
        Random rng(8);
        MoverFollow follow(rng, m_Motion);
        follow.Prepare(1000, 2, aspect);
        float* p = aspect == 1.0f ? square : wide;
        follow.Advance(p[0], p[1], p[2], 123.0f);
    }
    EXPECT_FLOAT_EQ(wide[0], 2.0f * square[0]);
    EXPECT_FLOAT_EQ(wide[1], square[1]);
    EXPECT_FLOAT_EQ(wide[2], square[2]);
}

TEST_F(MoverTest, FactoryReplaysForASeedAndBuildsEveryEnabledKind) {
    std::set<std::string> kinds;
    for (int seed = 1; seed <= 300; ++seed) {
        Random a(seed), b(seed);
        auto first = Mover::Create(a, m_Motion);
        auto second = Mover::Create(b, m_Motion);
        ASSERT_EQ(typeid(*first), typeid(*second)) << seed;
        EXPECT_EQ(a.next(), b.next());
        kinds.insert(typeid(*first).name());
    }
    for (const char* name : {typeid(MoverSin).name(), typeid(MoverPolar).name(),
                             typeid(MoverFollow).name(), typeid(MoverBounce).name()})
        EXPECT_TRUE(kinds.count(name)) << name;
}

TEST_F(MoverTest, ColourBySpreadNeedsFewBandsInALargeTable) {
    // Half of the movers draw below 0.5; of those only a table of ratio under 0.1 spreads.
    int spread = 0;
    {
        const MotionContext few{256, 25, 1.0f, 25.0f, 1.0f}; // 0.098
        for (int seed = 1; seed <= 200; ++seed) {
            Random rng(seed);
            Random ref(seed);
            MoverSin mover(rng, few);
            EXPECT_EQ(mover.ColourBySpread(), ref.uniform() < 0.5);
            spread += mover.ColourBySpread();
        }
    }
    EXPECT_GT(spread, 0);
    const MotionContext many{250, 25, 1.0f, 25.0f, 1.0f}; // exactly 0.1
    for (int seed = 1; seed <= 50; ++seed) {
        Random rng(seed);
        EXPECT_FALSE(MoverSin(rng, many).ColourBySpread());
    }
}
