#include "motion/MoverExplode.h"
#include "GroupScene.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using MoverExplodeTest = GroupMoverTest;

struct Position {
    float x, y, z;
};

Position OriginOf(const MoverExplode& member, int group) {
    Position p{};
    member.GroupOrigin(group, p.x, p.y, p.z);
    return p;
}

// The draws of a MoverSin made as a group's leader: colour by spread, ranges, step bias.
void SkipLeaderDraws(Random& ref) {
    ref.uniform();
    ref.uniform();
    ref.uniform();
    ref.uniform();
    ref.skewed(10, 3);
}

TEST_F(MoverExplodeTest, PrototypeAndCloneDrawInTheirFixedOrder) {
    const int seed = 2024;
    Random rng(seed);
    const MoverExplode prototype(rng, DefaultMotion());

    Random ref(seed);
    ref.uniform(); // colour by spread
    const int groups = 1 + ref.below(5);
    std::vector<Position> origins;
    for (int g = 0; g < groups; ++g) {
        double c[3];
        for (double& v : c) {
            const double s = ref.symmetric();
            const double u1 = ref.uniform();
            const double u2 = ref.uniform();
            v = s * 10.606602 * u1 * u2;
        }
        origins.push_back(
            {static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])});
        ref.uniform();                            // speed
        for (int angle = 0; angle < 2; ++angle) { // low end, then width times a fraction
            ref.below(360);
            ref.skewed(360, groups);
            ref.uniform();
        }
    }
    const int group = ref.below(groups);
    SkipLeaderDraws(ref);

    ASSERT_EQ(prototype.GroupCount(), groups);
    EXPECT_EQ(prototype.Group(), group);
    EXPECT_TRUE(prototype.IsLeader());
    for (int g = 0; g < groups; ++g) {
        const Position o = OriginOf(prototype, g);
        EXPECT_NEAR(o.x, origins[g].x, 1e-5);
        EXPECT_NEAR(o.y, origins[g].y, 1e-5);
        EXPECT_NEAR(o.z, origins[g].z, 1e-5);
    }
    EXPECT_EQ(rng.next(), ref.next()); // nothing more was drawn

    // A clone: speed, group, two angles, and a leader's draws if its group has none yet.
    const auto clone = prototype.Clone();
    ref.uniform();
    const int cloneGroup = ref.below(groups);
    ref.uniform();
    ref.uniform();
    const auto& cloned = dynamic_cast<const MoverExplode&>(*clone);
    EXPECT_EQ(cloned.Group(), cloneGroup);
    EXPECT_EQ(cloned.IsLeader(), cloneGroup != group);
    if (cloneGroup != group)
        SkipLeaderDraws(ref);
    EXPECT_EQ(rng.next(), ref.next());
}

TEST_F(MoverExplodeTest, GroupTablesCountEveryMemberAndGiveEachGroupOneLeader) {
    for (int seed : {3, 17, 4242}) {
        Random rng(seed);
        GroupScene scene(1500);
        scene.Compose(rng, std::make_unique<MoverExplode>(rng, DefaultMotion()), 40);
        const int groups = scene.MoverAt<MoverExplode>(0).GroupCount();
        ASSERT_GE(groups, 1);
        ASSERT_LE(groups, 5);
        std::vector<int> members(groups, 0);
        std::vector<int> leaders(groups, 0);
        for (std::size_t i = 0; i < scene.Count(); ++i) {
            const auto& mover = scene.MoverAt<MoverExplode>(i);
            // The first mover to land in a group leads it.
            EXPECT_EQ(mover.IsLeader(), members[mover.Group()] == 0) << "shape " << i;
            members[mover.Group()] += 1;
            leaders[mover.Group()] += mover.IsLeader() ? 1 : 0;
        }
        EXPECT_TRUE(scene.MoverAt<MoverExplode>(0).IsLeader());
        for (int g = 0; g < groups; ++g) {
            EXPECT_EQ(scene.MoverAt<MoverExplode>(0).MemberCount(g), members[g]);
            EXPECT_EQ(leaders[g], members[g] > 0 ? 1 : 0);
        }
    }
}

TEST_F(MoverExplodeTest, LoneLeaderMovesItsGroupOriginAlongASinePath) {
    Random rng(5);
    GroupScene scene(1500);
    scene.Compose(rng, std::make_unique<MoverExplode>(rng, DefaultMotion()), 0);
    auto& leader = scene.MoverAt<MoverExplode>(0);
    ASSERT_EQ(leader.MemberCount(leader.Group()), 1);

    bool moved = false;
    for (int frame = 0; frame < 300; ++frame) {
        scene.RunFrame(frame);
        const Shape& shape = scene.At(0);
        const Position origin = OriginOf(leader, leader.Group());
        EXPECT_EQ(origin.x, shape.X());
        EXPECT_EQ(origin.y, shape.Y());
        EXPECT_EQ(origin.z, shape.Z());
        EXPECT_TRUE(leader.IsVisible());
        if (frame == 0) { // every sine path starts at the centre
            EXPECT_EQ(shape.X(), 0.0f);
            EXPECT_EQ(shape.Y(), 0.0f);
            EXPECT_EQ(shape.Z(), 0.0f);
        }
        moved = moved || shape.X() != 0.0f || shape.Y() != 0.0f || shape.Z() != 0.0f;
    }
    EXPECT_TRUE(moved);
}

// Particles fast enough (one frame per second of budget) to leave the box many times in a
// short scene, before and after the stop frame.
TEST_F(MoverExplodeTest, ParticlesLeavingTheBoxRestartBeforeTheStopFrameAndRetireAfterIt) {
    Random rng(11);
    const int period = 400;
    const int stopFrame = 380; // 95 % of the scene
    GroupScene scene(period);
    scene.Compose(rng, std::make_unique<MoverExplode>(rng, DefaultMotion(1.0f)), 30);

    int restarts = 0, retirements = 0;
    std::vector<bool> retired(scene.Count(), false);
    for (int frame = 0; frame < period - 1; ++frame) {
        scene.RunFrame(frame);
        for (std::size_t i = 0; i < scene.Count(); ++i) {
            const auto& mover = scene.MoverAt<MoverExplode>(i);
            if (mover.IsLeader()) {
                EXPECT_TRUE(mover.IsVisible());
                continue;
            }
            if (retired[i]) {
                EXPECT_FALSE(mover.IsVisible()) << "retired particle " << i << " frame " << frame;
                continue;
            }
            if (mover.IsVisible())
                continue;
            // It left the box: back at the (moving) origin of its group.
            const Position origin = OriginOf(mover, mover.Group());
            EXPECT_EQ(scene.At(i).X(), origin.x);
            EXPECT_EQ(scene.At(i).Y(), origin.y);
            EXPECT_EQ(scene.At(i).Z(), origin.z);
            EXPECT_EQ(mover.IsRetired(), frame > stopFrame) << "frame " << frame;
            if (frame > stopFrame) {
                retired[i] = true;
                ++retirements;
            } else {
                ++restarts;
            }
        }
    }
    EXPECT_GT(restarts, 0);
    EXPECT_GT(retirements, 0);
}

TEST_F(MoverExplodeTest, NoParticleIsVisibleOnTheLastFrame) {
    Random rng(23);
    const int period = 120;
    GroupScene scene(period);
    scene.Compose(rng, std::make_unique<MoverExplode>(rng, DefaultMotion()), 30);
    int visibleBefore = 0;
    for (int frame = 0; frame <= period; ++frame) {
        scene.RunFrame(frame);
        for (std::size_t i = 0; i < scene.Count(); ++i) {
            const auto& mover = scene.MoverAt<MoverExplode>(i);
            if (mover.IsLeader())
                continue;
            if (frame >= period - 1) {
                EXPECT_FALSE(mover.IsVisible()) << "particle " << i << " frame " << frame;
            } else if (mover.IsVisible()) {
                ++visibleBefore;
            }
        }
    }
    EXPECT_GT(visibleBefore, 0);
}

} // namespace
