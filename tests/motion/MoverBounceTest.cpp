#include "motion/MoverBounce.h"
#include "core/Random.h"
#include "motion/MotionContext.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The first seed whose ball matches the wanted kind of flight.
int SeedWhere(const std::function<bool(const MoverBounce&)>& wanted) {
    for (int seed = 1; seed < 1000; ++seed) {
        Random rng(seed);
        if (wanted(MoverBounce(rng, MotionContext{})))
            return seed;
    }
    ADD_FAILURE() << "no seed found";
    return 1;
}

bool Plain(const MoverBounce& m) {
    return !m.HasGravity() && !m.IsDamped();
}

class MoverBounceTest : public ::testing::Test {
protected:
    const MotionContext m_Motion{};
};

} // namespace

TEST_F(MoverBounceTest, CornerReflectsOnEveryAxisItCrosses) {
    Random rng(SeedWhere(Plain));
    MoverBounce ball(rng, m_Motion);
    ball.Prepare(1500, 0.5f, 256);
    const float m = ball.MaxSpeed();
    // Walls at -7.5 + R + m and 7.5 - (R - m).
    EXPECT_FLOAT_EQ(ball.LowBound(), -7.0f + m);
    EXPECT_FLOAT_EQ(ball.HighBound(), 7.0f + m);

    float x = 7.0f + m - 0.01f, y = x, z = x;
    ball.SetVelocity(0.05f, 0.05f, 0.05f);
    ball.Advance(x, y, z, 1);
    EXPECT_FLOAT_EQ(x, 7.0f + m);
    EXPECT_FLOAT_EQ(y, 7.0f + m);
    EXPECT_FLOAT_EQ(z, 7.0f + m);
    float vx, vy, vz;
    ball.Velocity(vx, vy, vz);
    EXPECT_FLOAT_EQ(vx, -0.05f);
    EXPECT_FLOAT_EQ(vy, -0.05f);
    EXPECT_FLOAT_EQ(vz, -0.05f);
    EXPECT_TRUE(ball.IsVisible());

    // Two walls of the low corner; the third axis flies on.
    x = -7.0f + m + 0.01f, y = x, z = 0.0f;
    ball.SetVelocity(-0.05f, -0.05f, 0.02f);
    ball.Advance(x, y, z, 2);
    EXPECT_FLOAT_EQ(x, -7.0f + m);
    EXPECT_FLOAT_EQ(y, -7.0f + m);
    EXPECT_FLOAT_EQ(z, 0.02f);
    ball.Velocity(vx, vy, vz);
    EXPECT_FLOAT_EQ(vx, 0.05f);
    EXPECT_FLOAT_EQ(vy, 0.05f);
    EXPECT_FLOAT_EQ(vz, 0.02f);
}

TEST_F(MoverBounceTest, GravityDropsFromTheTopAndReflectsFirst) {
    Random rng(SeedWhere([](const MoverBounce& m) { return m.HasGravity(); }));
    MoverBounce ball(rng, m_Motion);
    float x, y, z;
    ball.StartPosition(x, y, z);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 7.5f);
    EXPECT_EQ(z, 0.0f);

    ball.Prepare(1500, 1.0f, 256);
    const float high = 6.5f + ball.MaxSpeed();
    ball.SetVelocity(0.0f, 0.0f, 0.0f);
    ball.Advance(x, y, z, 0);
    EXPECT_FLOAT_EQ(y, high);
    float vx, vy, vz;
    ball.Velocity(vx, vy, vz);
    // The reflected (zero) fall, then one gravity step, damped first if damping is on.
    EXPECT_FLOAT_EQ(vy, -ball.GravityStep());
}

TEST_F(MoverBounceTest, GlidesHomeOverTheLastFramesOfTheScene) {
    Random rng(SeedWhere(Plain));
    MoverBounce ball(rng, m_Motion);
    ball.Prepare(100, 0.5f, 256);
    EXPECT_EQ(ball.ReturnStart(), 95);
    EXPECT_EQ(ball.ReturnFrames(), 5.0f);

    float x = 1.0f, y = 2.0f, z = -3.0f;
    ball.SetVelocity(0.0f, 0.0f, 0.0f);
    ball.Advance(x, y, z, 95);
    EXPECT_FALSE(ball.IsReturning());
    ball.Advance(x, y, z, 96);
    EXPECT_TRUE(ball.IsReturning());
    EXPECT_FALSE(ball.IsVisible()); // hidden on the frame the glide starts
    float vx, vy, vz;
    ball.Velocity(vx, vy, vz);
    EXPECT_FLOAT_EQ(vx, -0.2f);
    EXPECT_FLOAT_EQ(vy, -0.4f);
    EXPECT_FLOAT_EQ(vz, 0.6f);
    for (int frame = 97; frame <= 101; ++frame)
        ball.Advance(x, y, z, frame);
    EXPECT_TRUE(ball.IsVisible());
    EXPECT_NEAR(x, 0.0f, 1e-5f);
    EXPECT_NEAR(y, 0.0f, 1e-5f);
    EXPECT_NEAR(z, 0.0f, 1e-5f);
}

TEST_F(MoverBounceTest, OneFrameSceneReturnsOnItsFirstStep) {
    Random rng(SeedWhere(Plain));
    MoverBounce ball(rng, m_Motion);
    ball.Prepare(1, 0.5f, 256);
    EXPECT_EQ(ball.ReturnStart(), 0);
    EXPECT_EQ(ball.ReturnFrames(), 1.0f);
    float x = 0, y = 0, z = 0;
    ball.Advance(x, y, z, 0);
    EXPECT_FALSE(ball.IsReturning());
    ball.Advance(x, y, z, 1);
    EXPECT_TRUE(ball.IsReturning());
}

TEST_F(MoverBounceTest, DampedBallNeverGlidesHome) {
    Random rng(SeedWhere([](const MoverBounce& m) { return m.IsDamped(); }));
    MoverBounce ball(rng, m_Motion);
    EXPECT_TRUE(ball.HasGravity()); // damping only comes with gravity
    ball.Prepare(1, 0.5f, 256);
    float x = 0, y = 7.5f, z = 0;
    for (int frame = 0; frame < 50; ++frame)
        ball.Advance(x, y, z, frame);
    EXPECT_FALSE(ball.IsReturning());
}

TEST_F(MoverBounceTest, CloneKeepsSharedGravityAndDrawsItsOwnOtherwise) {
    Random shared(
        SeedWhere([](const MoverBounce& m) { return m.HasGravity() && m.SharesGravity(); }));
    MoverBounce a(shared, m_Motion);
    auto copy = a.Clone();
    EXPECT_EQ(static_cast<MoverBounce&>(*copy).GravityStep(), a.GravityStep());

    const int seed =
        SeedWhere([](const MoverBounce& m) { return m.HasGravity() && !m.SharesGravity(); });
    Random own(seed);
    MoverBounce b(own, m_Motion);
    auto other = b.Clone();
    // Replay: the clone draws three velocity components, then its gravity step.
    Random replay(seed);
    { MoverBounce twin(replay, m_Motion); }
    replay.uniform();
    replay.uniform();
    replay.uniform();
    const float expected = static_cast<float>(replay.uniform() * 0.01);
    EXPECT_FLOAT_EQ(static_cast<MoverBounce&>(*other).GravityStep(), expected);
    EXPECT_EQ(static_cast<MoverBounce&>(*other).MaxSpeed(), b.MaxSpeed());
}
