#include "motion/Rotater.h"
#include "core/Random.h"
#include "motion/MotionContext.h"
#include "motion/RotaterDirection.h"
#include "motion/RotaterOutFromZAxis.h"
#include "motion/RotaterOutward.h"
#include "motion/RotaterRandom.h"

#include <gtest/gtest.h>

#include <typeinfo>
#include <vector>

namespace {

// Opens the steering state of the base so that limits can be set by hand.
class SteeringProbe : public Rotater {
public:
    using Rotater::Rotater;

    std::unique_ptr<Rotater> Clone() const override {
        auto clone = std::make_unique<SteeringProbe>(*m_pRand);
        clone->CopySteering(*this);
        return clone;
    }
    void Advance(float, float, float, float, float, float) override {}

    void Steer(float yawTarget, float rollTarget) { TurnToward(yawTarget, rollTarget); }
    void Reset(float maxStep, float maxChange, bool wrap) {
        m_Yaw = m_Roll = 0;
        m_MaxYawStep = m_MaxRollStep = maxStep;
        m_MaxYawChange = m_MaxRollChange = maxChange;
        m_bWrapYaw = m_bWrapRoll = wrap;
        m_LastYawStep = m_LastRollStep = 0;
        m_bWobbleYaw = m_bWobbleRoll = m_bExtraSpin = false;
        m_Phase = m_PhaseStep = 0;
    }
    void SetLastYawStep(float step) { m_LastYawStep = step; }
    void SetWobbleRoll(float phaseStep) { m_bWobbleRoll = true, m_PhaseStep = phaseStep; }
    void SetExtraSpin() { m_bExtraSpin = true; }
    float MaxYawStep() const { return m_MaxYawStep; }
    float MaxRollChange() const { return m_MaxRollChange; }
    float Phase() const { return m_Phase; }
};

class RotaterTest : public ::testing::Test {
protected:
    const MotionContext m_Motion{256, 4, 1.0f, 25.0f, 1.0f};
};

} // namespace

TEST_F(RotaterTest, WithoutWrapTheYawTakesTheLongWayInLimitedSteps) {
    Random rng(1);
    SteeringProbe probe(rng);
    probe.Reset(30, 1000, false);
    int steps = 0;
    while (probe.Yaw() != 350.0f && steps < 100) {
        const float before = probe.Yaw();
        probe.Steer(350, 0);
        EXPECT_GT(probe.Yaw() - before, 0.0f);
        EXPECT_LE(probe.Yaw() - before, 30.0f);
        ++steps;
    }
    EXPECT_EQ(steps, 12); // 11 x 30, then 20

    probe.Reset(30, 1000, true);
    probe.Steer(350, 0);
    EXPECT_FLOAT_EQ(probe.Yaw(), -10.0f);
    probe.Steer(350, 0); // 360 apart is no difference
    EXPECT_FLOAT_EQ(probe.Yaw(), -10.0f);
}

TEST_F(RotaterTest, ReversalIsSpreadOverFramesByTheChangeLimit) {
    Random rng(2);
    SteeringProbe probe(rng);
    probe.Reset(90, 10, false);
    probe.SetLastYawStep(90);
    const std::vector<float> expected{80, 150, 210, 260, 300, 330, 350, 360, 360, 350};
    for (const float yaw : expected) {
        probe.Steer(-90, 0);
        EXPECT_FLOAT_EQ(probe.Yaw(), yaw);
    }
}

TEST_F(RotaterTest, WobbleAddsTheGrowingPhaseToTheTarget) {
    Random rng(3);
    SteeringProbe probe(rng);
    probe.Reset(1000, 1000, false);
    probe.SetWobbleRoll(5);
    probe.SetExtraSpin();
    for (const float roll : {0.0f, 5.0f, 10.0f}) {
        probe.Steer(0, 0);
        EXPECT_FLOAT_EQ(probe.Roll(), roll);
        EXPECT_FLOAT_EQ(probe.Yaw(), 0.0f);
    }
    EXPECT_FLOAT_EQ(probe.Phase(), 15.0f);

    const RotationList list = probe.Rotations();
    ASSERT_EQ(list.count, 3);
    EXPECT_EQ(list.items[0].z, 1.0f); // roll about z first
    EXPECT_EQ(list.items[0].angle, 10.0f);
    EXPECT_EQ(list.items[1].y, 1.0f);
    EXPECT_EQ(list.items[2].x, 1.0f);
    EXPECT_EQ(list.items[2].angle, 15.0f);
}

TEST_F(RotaterTest, TargetAnglesInDegrees) {
    struct Case {
        float dx, dy, dz, yaw, roll;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0},    {1, 0, 0, 90, 0},     {-1, 0, 0, -90, 360}, {0, 1, 1, 0, 90},
        {0, 0, -1, 180, 0}, {1, 1, 0, 90, 45},    {-1, -1, 0, -90, 45}, {0, -2, 0, 0, -90},
        {2, 0, 2, 45, 0},   {-3, 3, 0, -90, 315},
    };
    for (const Case& c : cases) {
        float yaw, roll;
        Rotater::TargetAngles(c.dx, c.dy, c.dz, yaw, roll);
        EXPECT_NEAR(yaw, c.yaw, 1e-4) << c.dx << "," << c.dy << "," << c.dz;
        EXPECT_NEAR(roll, c.roll, 1e-4) << c.dx << "," << c.dy << "," << c.dz;
    }
}

TEST_F(RotaterTest, SteeringRotatersAimWhereTheirMotionPoints) {
    // Same seed, same base draws: each rotater must turn exactly as the probe does toward
    // the targets its motion gives.
    const int seed = 17;
    const auto expectSameTurn = [](const Rotater& rotater, const SteeringProbe& probe) {
        EXPECT_EQ(rotater.Yaw(), probe.Yaw());
        EXPECT_EQ(rotater.Roll(), probe.Roll());
    };
    {
        Random a(seed), b(seed);
        RotaterOutward outward(a);
        SteeringProbe probe(b);
        outward.Advance(1, 2, 3, 1, 2, 3); // not moved yet
        probe.Steer(0, 0);
        expectSameTurn(outward, probe);
    }
    {
        Random a(seed), b(seed);
        RotaterOutFromZAxis axis(a);
        SteeringProbe probe(b);
        axis.Advance(-1, 4, 9, 0, 4, 0); // away in -x only, depth ignored
        probe.Steer(-90, 360);
        expectSameTurn(axis, probe);
    }
    {
        Random a(seed), b(seed);
        RotaterDirection direction(a);
        SteeringProbe probe(b);
        direction.Advance(1, 0, 0, 5, 5, 5); // travelled +x from the origin
        probe.Steer(90, 0);
        direction.Advance(1, 0, 0, 5, 5, 5); // standing still
        probe.Steer(0, 0);
        expectSameTurn(direction, probe);
    }
}

TEST_F(RotaterTest, SteeringCloneDrawsAnglesAndKeepsLimits) {
    Random rng(23);
    SteeringProbe source(rng);
    source.Steer(40, -40);
    auto clone = source.Clone();
    auto& copy = static_cast<SteeringProbe&>(*clone);

    Random ref(23);
    SteeringProbe first(ref);
    SteeringProbe second(ref); // the clone's own base draws
    EXPECT_EQ(copy.Yaw(), second.Yaw());
    EXPECT_EQ(copy.Spin(), second.Spin());
    EXPECT_EQ(copy.MaxYawStep(), source.MaxYawStep());
    EXPECT_EQ(copy.MaxRollChange(), source.MaxRollChange());
    EXPECT_EQ(copy.Phase(), source.Phase());

    source.ScaleSpin(2.0f);
    EXPECT_EQ(source.MaxYawStep(), 2.0f * copy.MaxYawStep());
}

TEST_F(RotaterTest, RandomTumblesAtTwentyToFortyFourDegreesPerSecond) {
    Random rng(41), ref(41);
    RotaterRandom tumbler(rng, m_Motion);
    SteeringProbe base(ref); // the same base draws
    float rates[3];
    for (float& rate : rates)
        rate = (ref.below(25) + 20) / 25.0f;
    EXPECT_FLOAT_EQ(tumbler.RateX(), rates[0]);
    EXPECT_FLOAT_EQ(tumbler.RateY(), rates[1]);
    EXPECT_FLOAT_EQ(tumbler.RateZ(), rates[2]);

    const float spin = tumbler.Spin(), yaw = tumbler.Yaw(), roll = tumbler.Roll();
    tumbler.Advance(9, 9, 9, 0, 0, 0);
    tumbler.Advance(9, 9, 9, 0, 0, 0);
    EXPECT_FLOAT_EQ(tumbler.Spin(), spin + 2 * rates[0]);
    EXPECT_FLOAT_EQ(tumbler.Yaw(), yaw + 2 * rates[1]);
    EXPECT_FLOAT_EQ(tumbler.Roll(), roll + 2 * rates[2]);
    const RotationList list = tumbler.Rotations();
    ASSERT_EQ(list.count, 3);
    EXPECT_EQ(list.items[0].x, 1.0f); // spin about x, then y, then z
    EXPECT_EQ(list.items[1].y, 1.0f);
    EXPECT_EQ(list.items[2].z, 1.0f);
}

TEST_F(RotaterTest, FactoryAvoidsTheExcludedDirectionKind) {
    const std::vector<int> noDirection{Rotater::kDirectionKind};
    int withAll = 0, withExclusion = 0;
    for (int seed = 1; seed <= 300; ++seed) {
        Random a(seed), b(seed);
        auto any = Rotater::Create(a, m_Motion);
        auto avoiding = Rotater::Create(b, m_Motion, &noDirection);
        withAll += typeid(*any) == typeid(RotaterDirection);
        withExclusion += typeid(*avoiding) == typeid(RotaterDirection);
    }
    EXPECT_NEAR(withAll, 300 * 200 / 410, 30);
    EXPECT_LE(withExclusion, 2); // only when ten draws in a row hit it
}
