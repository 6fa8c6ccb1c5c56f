#include "motion/MoverOrbit.h"
#include "GroupScene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using MoverOrbitTest = GroupMoverTest;

// Two shapes at rest with chosen masses and positions.
void PlaceAtRest(GroupScene& scene, std::size_t i, float x, float y, float z, float mass) {
    scene.At(i).SetPosition(x, y, z);
    scene.At(i).SetMass(mass);
    scene.At(i).StopVelocity();
}

TEST_F(MoverOrbitTest, EveryShapeIsPulledTowardsTheOthersByTheirMass) {
    Random rng(7);
    GroupScene scene(1000);
    scene.Compose(rng, std::make_unique<MoverOrbit>(rng, DefaultMotion()), 1);
    PlaceAtRest(scene, 0, 0, 0, 0, 0.25f);
    PlaceAtRest(scene, 1, 3, 4, 0, 0.5f);

    scene.At(0).FrameUpdate(scene.Frame());
    scene.SetFrame(10);
    scene.StepAll();
    // Distance 5: A gains 0.5 * (3, 4, 0) / 5, B gains 0.25 * (-3, -4, 0) / 5; the pull does
    // not depend on the distance.
    EXPECT_NEAR(scene.At(0).X(), 0.3f, 1e-6);
    EXPECT_NEAR(scene.At(0).Y(), 0.4f, 1e-6);
    EXPECT_NEAR(scene.At(0).Z(), 0.0f, 1e-6);
    EXPECT_NEAR(scene.At(1).X(), 2.85f, 1e-6);
    EXPECT_NEAR(scene.At(1).Y(), 3.8f, 1e-6);
    EXPECT_NEAR(scene.At(1).Z(), 0.0f, 1e-6);
}

TEST_F(MoverOrbitTest, ShapesAtTheSamePlaceDoNotPullEachOther) {
    Random rng(8);
    GroupScene scene(1000);
    scene.Compose(rng, std::make_unique<MoverOrbit>(rng, DefaultMotion()), 2);
    PlaceAtRest(scene, 0, 1, 1, 1, 0.3f);
    PlaceAtRest(scene, 1, 1, 1, 1, 0.3f);
    PlaceAtRest(scene, 2, 1, 1, 2, 0.1f);

    scene.At(0).FrameUpdate(scene.Frame());
    scene.SetFrame(10);
    scene.StepAll();
    // Each of the twins feels only the third shape: 0.1 * (0, 0, -1) / 1, negated.
    for (std::size_t i : {0u, 1u}) {
        EXPECT_FLOAT_EQ(scene.At(i).X(), 1.0f);
        EXPECT_FLOAT_EQ(scene.At(i).Y(), 1.0f);
        EXPECT_NEAR(scene.At(i).Z(), 1.1f, 1e-6);
    }
    EXPECT_NEAR(scene.At(2).Z(), 2.0f - 0.6f, 1e-6);
}

TEST_F(MoverOrbitTest, EndShrinkScalesTheShrunkPositionEachFrame) {
    Random rng(9);
    GroupScene scene(100); // the shrink starts after frame 95
    scene.Compose(rng, std::make_unique<MoverOrbit>(rng, DefaultMotion()), 0);
    PlaceAtRest(scene, 0, 1, -2, 4, 0.1f);

    scene.SetFrame(95);
    scene.StepAll();
    EXPECT_FLOAT_EQ(scene.At(0).X(), 1.0f);
    scene.SetFrame(96);
    scene.StepAll();
    const float f96 = 0.8944271909999159f; // sqrt((1 - 0.96) / (1 - 0.95))
    EXPECT_NEAR(scene.At(0).X(), f96, 1e-6);
    EXPECT_NEAR(scene.At(0).Y(), -2 * f96, 1e-6);
    EXPECT_NEAR(scene.At(0).Z(), 4 * f96, 1e-6);
    scene.SetFrame(97);
    scene.StepAll();
    EXPECT_NEAR(scene.At(0).Z(), 4 * f96 * 0.7745966692414834f, 1e-6); // sqrt(0.03 / 0.05)
    scene.SetFrame(100);
    scene.StepAll();
    EXPECT_EQ(scene.At(0).Z(), 0.0f); // at the centre as the scene ends
}

TEST_F(MoverOrbitTest, ReserveLeavesAboutBudgetToThePower08) {
    Random rng(1);
    const MoverOrbit orbit(rng, DefaultMotion());
    // budget - budget^0.8, truncated (computed independently).
    EXPECT_EQ(orbit.PolygonReserve(2500), 1977);
    EXPECT_EQ(orbit.PolygonReserve(100), 60);
    EXPECT_EQ(orbit.PolygonReserve(12345), 10469);
    EXPECT_EQ(orbit.PolygonReserve(1), 0);
    EXPECT_EQ(orbit.PolygonReserve(0), 0);
}

} // namespace
