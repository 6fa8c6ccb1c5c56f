#include "motion/MoverCollide.h"
#include "GroupScene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using MoverCollideTest = GroupMoverTest;

TEST_F(MoverCollideTest, WaitingShapeStartsScatteredByItsOwnDraws) {
    const int seed = 314;
    Random rng(seed);
    GroupScene scene(1500);
    scene.Compose(rng, std::make_unique<MoverCollide>(rng, DefaultMotion()), 1);

    Random ref(seed);
    ref.uniform(); // the prototype's colour by spread (a clone copies it)
    for (int mover = 0; mover < 2; ++mover) { // speed, then velocity
        ref.uniform();
        ref.symmetric();
        ref.symmetric();
        ref.symmetric();
    }
    // Setup in list order: the prototype starts at the centre without drawing.
    EXPECT_EQ(scene.At(0).ColorOffset(), ref.below(256));
    const double r = ref.uniform() * 21.213203;
    const double x = r * ref.symmetric();
    const double y = r * ref.symmetric();
    const double z = r * ref.symmetric();
    EXPECT_EQ(scene.At(1).ColorOffset(), ref.below(256));
    EXPECT_NEAR(scene.At(1).X(), x, 1e-5);
    EXPECT_NEAR(scene.At(1).Y(), y, 1e-5);
    EXPECT_NEAR(scene.At(1).Z(), z, 1e-5);
    EXPECT_EQ(scene.At(1).StartX(), scene.At(1).X());
    EXPECT_EQ(rng.next(), ref.next());
}

// The prototype moves alone and sets off nobody it does not touch.
TEST_F(MoverCollideTest, WaitingShapesStayStillUntilTouched) {
    Random rng(42);
    GroupScene scene(1500);
    scene.Compose(rng, std::make_unique<MoverCollide>(rng, DefaultMotion()), 20);
    for (std::size_t i = 1; i < scene.Count(); ++i)
        scene.At(i).SetPosition(9.0f + static_cast<float>(i), 9.0f, 9.0f); // out of reach
    for (int frame = 0; frame < 50; ++frame) {
        scene.RunFrame(frame);
        EXPECT_TRUE(scene.At(0).IsActive());
        for (float c : {scene.At(0).X(), scene.At(0).Y(), scene.At(0).Z()})
            ASSERT_LE(std::fabs(c), 7.5f);
        for (std::size_t i = 1; i < scene.Count(); ++i) {
            EXPECT_FALSE(scene.At(i).IsActive());
            EXPECT_EQ(scene.At(i).X(), 9.0f + static_cast<float>(i));
            EXPECT_TRUE(scene.At(i).GetMover()->IsVisible());
        }
    }
    EXPECT_NE(scene.At(0).X(), 0.0f);
}

TEST_F(MoverCollideTest, ActivationSpreadsAlongAChainWithinOneFrame) {
    Random rng(43);
    GroupScene scene(1500);
    scene.Compose(rng, std::make_unique<MoverCollide>(rng, DefaultMotion()), 6);
    // A chain of touching shapes from the moving prototype, a shape just out of reach,
    // and two waiting shapes touching only each other.
    scene.At(0).SetPosition(0, 0, 0);
    scene.At(1).SetPosition(0.4f, 0, 0);
    scene.At(2).SetPosition(0.8f, 0, 0);
    scene.At(3).SetPosition(0.8f, 0.45f, 0);
    scene.At(4).SetPosition(0.8f, 0.96f, 0);
    scene.At(5).SetPosition(5, 5, 5);
    scene.At(6).SetPosition(5.2f, 5, 5);

    scene.At(0).FrameUpdate(scene.Frame());
    for (std::size_t i : {0u, 1u, 2u, 3u})
        EXPECT_TRUE(scene.At(i).IsActive()) << "shape " << i;
    for (std::size_t i : {4u, 5u, 6u})
        EXPECT_FALSE(scene.At(i).IsActive()) << "shape " << i;
}

TEST_F(MoverCollideTest, WallsReflectTheVelocityWithRandomLoss) {
    Random rng(44);
    GroupScene scene(1500);
    scene.Compose(rng, std::make_unique<MoverCollide>(rng, DefaultMotion()), 0);
    Shape& shape = scene.At(0);
    for (int trial = 0; trial < 20; ++trial) {
        shape.SetPosition(7.45f, -7.4f, 0);
        shape.StopVelocity();
        shape.AddVelocity(0.2f, -0.3f, 0.1f);
        scene.StepAll(); // both walls reached in the same step
        EXPECT_EQ(shape.X(), 7.5f);
        EXPECT_EQ(shape.Y(), -7.5f);
        EXPECT_FLOAT_EQ(shape.Z(), 0.1f);
        scene.StepAll();
        const float dx = shape.X() - 7.5f, dy = shape.Y() + 7.5f;
        EXPECT_GE(dx, -0.2f * 1.2f - 1e-5f);
        EXPECT_LE(dx, -0.2f * 0.8f + 1e-5f);
        EXPECT_GE(dy, 0.3f * 0.8f - 1e-5f);
        EXPECT_LE(dy, 0.3f * 1.2f + 1e-5f);
    }
}

TEST_F(MoverCollideTest, ReserveLeavesAboutBudgetToThePower085) {
    Random rng(45);
    const MoverCollide collide(rng, DefaultMotion());
    // budget - budget^0.85, truncated (computed independently).
    EXPECT_EQ(collide.PolygonReserve(2500), 1726);
    EXPECT_EQ(collide.PolygonReserve(100), 49);
    EXPECT_EQ(collide.PolygonReserve(12345), 9340);
    EXPECT_EQ(collide.PolygonReserve(2), 0);
    EXPECT_EQ(collide.PolygonReserve(0), 0);
}

} // namespace
