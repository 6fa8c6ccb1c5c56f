#include "motion/MoverCollide.h"
#include "GroupScene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(MoverCollide, WaitingShapeStartsScatteredByItsOwnDraws) {
    ScopedMotionContext motion(DefaultMotion());
    const int seed = 314;
    Random rng(seed);
    GroupScene scene(1500);
    scene.Compose(rng, std::make_unique<MoverCollide>(rng), 1);

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

TEST(MoverCollide, ALoneShapeMovesInsideTheBox) {
    ScopedMotionContext motion(DefaultMotion());
    Random rng(41);
    GroupScene scene(1500);
    scene.Compose(rng, std::make_unique<MoverCollide>(rng), 0);
    const Shape& shape = scene.At(0);
    EXPECT_EQ(shape.X(), 0.0f); // the prototype starts at the centre
    bool moved = false;
    for (int frame = 0; frame < 400; ++frame) {
        scene.RunFrame(frame);
        for (float c : {shape.X(), shape.Y(), shape.Z()}) {
            ASSERT_GE(c, -7.5f);
            ASSERT_LE(c, 7.5f);
        }
        moved = moved || shape.X() != 0.0f;
    }
    EXPECT_TRUE(moved);
    EXPECT_TRUE(shape.IsActive());
}

TEST(MoverCollide, WaitingShapesAreScatteredAndStillUntilTouched) {
    ScopedMotionContext motion(DefaultMotion());
    Random rng(42);
    GroupScene scene(1500);
    scene.Compose(rng, std::make_unique<MoverCollide>(rng), 20);
    bool outsideTheBox = false;
    for (std::size_t i = 1; i < scene.Count(); ++i) {
        const Shape& shape = scene.At(i);
        EXPECT_FALSE(shape.IsActive());
        for (float c : {shape.X(), shape.Y(), shape.Z()}) {
            EXPECT_LE(std::fabs(c), MoverCollide::ScatterExtent);
            outsideTheBox = outsideTheBox || std::fabs(c) > 7.5f;
        }
    }
    EXPECT_TRUE(outsideTheBox);

    // Keep everything apart from the prototype, then the waiting shapes never move.
    for (std::size_t i = 1; i < scene.Count(); ++i)
        scene.At(i).SetPosition(9.0f + static_cast<float>(i), 9.0f, 9.0f);
    for (int frame = 0; frame < 50; ++frame) {
        scene.RunFrame(frame);
        for (std::size_t i = 1; i < scene.Count(); ++i) {
            EXPECT_FALSE(scene.At(i).IsActive());
            EXPECT_EQ(scene.At(i).X(), 9.0f + static_cast<float>(i));
            EXPECT_TRUE(scene.At(i).GetMover()->IsVisible());
        }
    }
}

TEST(MoverCollide, ActivationSpreadsAlongAChainWithinOneFrame) {
    ScopedMotionContext motion(DefaultMotion());
    Random rng(43);
    GroupScene scene(1500);
    scene.Compose(rng, std::make_unique<MoverCollide>(rng), 6);
    // A chain of touching shapes from the moving prototype, a shape just out of reach,
    // and two waiting shapes touching only each other.
    scene.At(0).SetPosition(0, 0, 0);
    scene.At(1).SetPosition(0.4f, 0, 0);
    scene.At(2).SetPosition(0.8f, 0, 0);
    scene.At(3).SetPosition(0.8f, 0.45f, 0);
    scene.At(4).SetPosition(0.8f, 0.96f, 0);
    scene.At(5).SetPosition(5, 5, 5);
    scene.At(6).SetPosition(5.2f, 5, 5);

    scene.At(0).FrameUpdate(scene);
    for (std::size_t i : {0u, 1u, 2u, 3u})
        EXPECT_TRUE(scene.At(i).IsActive()) << "shape " << i;
    for (std::size_t i : {4u, 5u, 6u})
        EXPECT_FALSE(scene.At(i).IsActive()) << "shape " << i;
}

TEST(MoverCollide, WallsReflectTheVelocityWithRandomLoss) {
    ScopedMotionContext motion(DefaultMotion());
    Random rng(44);
    GroupScene scene(1500);
    scene.Compose(rng, std::make_unique<MoverCollide>(rng), 0);
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

TEST(MoverCollide, ReserveLeavesAboutBudgetToThePower085) {
    ScopedMotionContext motion(DefaultMotion());
    Random rng(45);
    const MoverCollide collide(rng);
    // budget - budget^0.85, truncated (computed independently).
    EXPECT_EQ(collide.PolygonReserve(2500), 1726);
    EXPECT_EQ(collide.PolygonReserve(100), 49);
    EXPECT_EQ(collide.PolygonReserve(12345), 9340);
    EXPECT_EQ(collide.PolygonReserve(2), 0);
    EXPECT_EQ(collide.PolygonReserve(0), 0);
}

} // namespace
