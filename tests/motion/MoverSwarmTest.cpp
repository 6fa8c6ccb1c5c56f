#include "motion/MoverSwarm.h"
#include "GroupScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using MoverSwarmTest = GroupMoverTest;

TEST_F(MoverSwarmTest, PrototypeAndCloneDrawInTheirFixedOrder) {
    const int seed = 77;
    Random rng(seed);
    const MoverSwarm prototype(rng, DefaultMotion());
    const auto clone = prototype.Clone();

    Random ref(seed);
    ref.uniform(); // colour by spread
    const double speedScale = ref.uniform() * 0.05 + 0.01;
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_LT(std::fabs(ref.symmetric() * speedScale), 0.06);
    ref.uniform(); // acceleration
    const int swarms = ref.below(10) + 2;
    for (int s = 0; s < swarms; ++s) {
        for (int axis = 0; axis < 3; ++axis)
            ref.symmetric(); // centre
        for (int axis = 0; axis < 3; ++axis)
            ref.below(10); // frequency
        for (int axis = 0; axis < 3; ++axis) {
            ref.below(2); // sign, then three fractions
            ref.uniform();
            ref.uniform();
            ref.uniform();
        }
    }
    EXPECT_EQ(prototype.SwarmCount(), swarms);
    EXPECT_EQ(prototype.Swarm(), ref.below(swarms));
    for (int axis = 0; axis < 3; ++axis)
        ref.symmetric(); // the clone's velocity
    ref.uniform();       // its acceleration
    EXPECT_EQ(dynamic_cast<const MoverSwarm&>(*clone).Swarm(), ref.below(swarms));
    EXPECT_EQ(rng.next(), ref.next());
}

TEST_F(MoverSwarmTest, EachSceneTurnsItsOwnRatesIntoWholeTurnsPerScene) {
    Random rng(78);
    for (const int period : {1000, 360, 1000}) {
        GroupScene scene(period);
        scene.Compose(rng, std::make_unique<MoverSwarm>(rng, DefaultMotion()), 3);
        const auto& first = scene.MoverAt<MoverSwarm>(0);
        for (int s = 0; s < first.SwarmCount(); ++s) {
            float f[3];
            first.Frequency(s, f[0], f[1], f[2]);
            for (float rate : f) {
                const double turns = rate * period / (2 * std::numbers::pi);
                EXPECT_NEAR(turns, std::round(turns), 1e-3) << "period " << period;
                EXPECT_GE(std::round(turns), 1.0);
                EXPECT_LE(std::round(turns), 10.0);
            }
        }
    }
}

TEST_F(MoverSwarmTest, AShapeExactlyOnItsTargetStillMoves) {
    Random rng(31);
    GroupScene scene(100); // swarms leave for the centre from frame 75
    scene.Compose(rng, std::make_unique<MoverSwarm>(rng, DefaultMotion()), 0);
    scene.At(0).SetPosition(0, 0, 0);
    scene.SetFrame(80);
    scene.StepAll();
    const Shape& shape = scene.At(0);
    EXPECT_TRUE(std::isfinite(shape.X()) && std::isfinite(shape.Y()) && std::isfinite(shape.Z()));
    EXPECT_TRUE(shape.X() != 0 || shape.Y() != 0 || shape.Z() != 0);
    EXPECT_LE(std::fabs(shape.X()), MoverSwarm::MaxSpeed);
    EXPECT_LE(std::fabs(shape.Y()), MoverSwarm::MaxSpeed);
    EXPECT_LE(std::fabs(shape.Z()), MoverSwarm::MaxSpeed);
    EXPECT_TRUE(shape.GetMover()->IsVisible());
}

TEST_F(MoverSwarmTest, SpeedIsCappedPerAxisAndEverySwarmEndsAtTheCentre) {
    for (int seed : {2, 40, 613}) {
        Random rng(seed);
        const int period = 400;
        GroupScene scene(period);
        scene.Compose(rng, std::make_unique<MoverSwarm>(rng, DefaultMotion()), 25);
        const int swarms = scene.MoverAt<MoverSwarm>(0).SwarmCount();
        ASSERT_GE(swarms, 2);
        ASSERT_LE(swarms, 11);
        for (std::size_t i = 0; i < scene.Count(); ++i)
            ASSERT_LT(scene.MoverAt<MoverSwarm>(i).Swarm(), swarms);

        for (int frame = 0; frame <= period; ++frame) {
            std::vector<float> before;
            for (std::size_t i = 0; i < scene.Count(); ++i)
                before.insert(before.end(), {scene.At(i).X(), scene.At(i).Y(), scene.At(i).Z()});
            scene.RunFrame(frame);
            if (frame > 380) // the end shrink moves shapes by more
                continue;
            for (std::size_t i = 0; i < scene.Count(); ++i) {
                const float after[3] = {scene.At(i).X(), scene.At(i).Y(), scene.At(i).Z()};
                for (int a = 0; a < 3; ++a)
                    ASSERT_LE(std::fabs(after[a] - before[3 * i + a]), MoverSwarm::MaxSpeed + 1e-5f)
                        << "seed " << seed << " shape " << i << " frame " << frame;
            }
        }
        for (std::size_t i = 0; i < scene.Count(); ++i) {
            EXPECT_EQ(scene.At(i).X(), 0.0f);
            EXPECT_EQ(scene.At(i).Y(), 0.0f);
            EXPECT_EQ(scene.At(i).Z(), 0.0f);
        }
    }
}

} // namespace
