#include "motion/MoverXYZ.h"
#include "GroupScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using MoverXYZTest = GroupMoverTest;

TEST_F(MoverXYZTest, MembersRunOneFrameApartOnTheirGroupsPath) {
    Random rng(51);
    const int period = 300;
    const int stopFrame = 285;
    GroupScene scene(period);
    scene.Compose(rng, std::make_unique<MoverXYZ>(rng, DefaultMotion()), 30);
    ASSERT_TRUE(scene.MoverAt<MoverXYZ>(0).PathsReady());

    // Delays 0, 1, 2 ... in creation order within each group.
    std::vector<int> joined(scene.MoverAt<MoverXYZ>(0).GroupCount(), 0);
    for (std::size_t i = 0; i < scene.Count(); ++i) {
        const auto& mover = scene.MoverAt<MoverXYZ>(i);
        EXPECT_EQ(mover.Delay(), joined[mover.Group()]++) << "shape " << i;
        EXPECT_EQ(mover.IsOwner(), i == 0);
        EXPECT_EQ(mover.PathLength(mover.Group()), period);
    }

    for (int frame = 0; frame < period + 3; ++frame) {
        scene.RunFrame(frame);
        for (std::size_t i = 0; i < scene.Count(); ++i) {
            const auto& mover = scene.MoverAt<MoverXYZ>(i);
            const int j = frame - mover.Delay();
            ASSERT_EQ(mover.IsVisible(), j >= 0 && j < stopFrame)
                << "shape " << i << " frame " << frame;
            if (!mover.IsVisible())
                continue;
            float x, y, z;
            mover.PathPoint(mover.Group(), j, x, y, z);
            EXPECT_EQ(scene.At(i).X(), x);
            EXPECT_EQ(scene.At(i).Y(), y);
            EXPECT_EQ(scene.At(i).Z(), z);
        }
    }
}

TEST_F(MoverXYZTest, PathsStartAtTheGroupOriginAndRunAlongOneAxisAtATime) {
    for (int seed : {52, 53, 54}) {
        Random rng(seed);
        GroupScene scene(1500);
        const float radius = 1.0f;
        scene.Compose(rng, std::make_unique<MoverXYZ>(rng, DefaultMotion()), 5, radius);
        const float bound = 7.5f - radius;
        const float maxStep = radius + 0.06f; // uniform * radius + the group's speed
        const auto& first = scene.MoverAt<MoverXYZ>(0);
        for (int g = 0; g < first.GroupCount(); ++g) {
            float ox, oy, oz, px, py, pz;
            first.GroupOrigin(g, ox, oy, oz);
            first.PathPoint(g, 0, px, py, pz);
            EXPECT_EQ(px, ox);
            EXPECT_EQ(py, oy);
            EXPECT_EQ(pz, oz);
            for (int i = 1; i < 1500; ++i) {
                float qx, qy, qz;
                first.PathPoint(g, i, qx, qy, qz);
                const int axesMoved = (qx != px) + (qy != py) + (qz != pz);
                ASSERT_EQ(axesMoved, 1) << "seed " << seed << " group " << g << " point " << i;
                // Once past the bound a path turns, and a turn onto that axis heads
                // back in: no coordinate gets further out than one step past the bound.
                const float reach = std::max({std::fabs(ox), std::fabs(oy), std::fabs(oz), bound}) +
                                    maxStep + 1e-4f;
                for (float c : {qx, qy, qz})
                    ASSERT_LE(std::fabs(c), reach) << "seed " << seed << " point " << i;
                px = qx, py = qy, pz = qz;
            }
        }
    }
}

// A member runs the first stopFrame points of the path from the frame of its delay on: one
// delayed to the stop frame or later stays hidden while the group's first train runs, and
// shows only in the scene's closing frames, if at all.
TEST_F(MoverXYZTest, MembersDelayedPastTheStopFrameStayHiddenWhileTheFirstTrainRuns) {
    Random rng(55);
    const int period = 20;
    const int stopFrame = 19;
    GroupScene scene(period);
    scene.Compose(rng, std::make_unique<MoverXYZ>(rng, DefaultMotion()), 150);
    int late = 0;
    for (std::size_t i = 0; i < scene.Count(); ++i)
        late += scene.MoverAt<MoverXYZ>(i).Delay() >= stopFrame ? 1 : 0;
    ASSERT_GT(late, 0);
    for (int frame = 0; frame <= period; ++frame) {
        scene.RunFrame(frame);
        for (std::size_t i = 0; i < scene.Count(); ++i) {
            const auto& mover = scene.MoverAt<MoverXYZ>(i);
            if (mover.Delay() < stopFrame)
                continue;
            ASSERT_EQ(mover.IsVisible(), frame >= mover.Delay())
                << "shape " << i << " frame " << frame;
            if (frame < stopFrame) {
                EXPECT_EQ(scene.At(i).X(), scene.At(i).StartX()); // waits at the origin
            }
        }
    }
}

TEST_F(MoverXYZTest, EachScenesPathTableIsItsOwn) {
    Random rng(56);
    auto first = std::make_unique<GroupScene>(200);
    first->Compose(rng, std::make_unique<MoverXYZ>(rng, DefaultMotion()), 10);
    const auto& early = first->MoverAt<MoverXYZ>(0);
    ASSERT_EQ(early.PathLength(0), 200);

    // The next scene is composed before the first one is torn down (or beside it, in
    // another window): it builds a table of its own and neither touches the other's.
    auto second = std::make_unique<GroupScene>(120);
    second->Compose(rng, std::make_unique<MoverXYZ>(rng, DefaultMotion()), 10);
    const auto& late = second->MoverAt<MoverXYZ>(0);
    EXPECT_EQ(early.PathLength(0), 200);
    first.reset();
    ASSERT_TRUE(late.PathsReady());
    for (int g = 0; g < late.GroupCount(); ++g)
        EXPECT_EQ(late.PathLength(g), 120);
    second->RunFrame(0);
    EXPECT_TRUE(late.IsVisible());
}

} // namespace
