#include "app/SaverApp.h"
#include "host/offscreen/OffscreenHost.h"
#include "motion/MoverCollide.h"
#include "motion/MoverExplode.h"
#include "motion/MoverOrbit.h"
#include "motion/MoverSwarm.h"
#include "motion/MoverXYZ.h"
#include "scene/SaverShapes.h"
#include "scene/SceneWnd.h"
#include "shapes/Shape.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

std::unique_ptr<Shape> MakeCube(Random& rng, const MotionContext& motion, const std::vector<int>*) {
    ShapeContext context;
    context.motion = motion;
    return Shape::CreateKind(0, rng, context);
}

bool MovesAsAGroup(const Mover& mover) {
    return dynamic_cast<const MoverExplode*>(&mover) != nullptr ||
           dynamic_cast<const MoverSwarm*>(&mover) != nullptr ||
           dynamic_cast<const MoverCollide*>(&mover) != nullptr;
}

// What a played scene shows: its mover class and, for every shape, where it is, where it
// started, its colour offset and mass.
struct SceneTrace {
    std::string mover;
    bool grouped = false;
    std::vector<float> values;
    bool operator==(const SceneTrace&) const = default;
};

enum class Handover {
    Overlapping, // the next scene is composed before the last one goes
    Sequential,  // the last scene goes first
};

// Plays consecutive scenes from gApp's generator seeded with seed, each for a few frames.
std::vector<SceneTrace> PlayScenes(TestApp& app, int seed, int scenes, Handover handover) {
    constexpr int Frames = 12;
    gApp.m_Rand.setSeed(seed);
    std::vector<SceneTrace> traces;
    std::unique_ptr<SaverShapes> scene;
    for (int i = 0; i < scenes; ++i) {
        if (handover == Handover::Sequential)
            scene.reset();
        scene = std::make_unique<SaverShapes>(app.Wnd().NextScene(), &MakeCube);
        app.Host().SetFrameLimit(app.Host().FramesSwapped() + Frames);
        scene->Frame();
        SceneTrace trace;
        const Mover& mover = *scene->Prototype()->GetMover();
        trace.mover = typeid(mover).name();
        trace.grouped = MovesAsAGroup(mover);
        for (const auto& shape : scene->Shapes())
            trace.values.insert(trace.values.end(),
                                {shape->X(), shape->Y(), shape->Z(), shape->StartX(),
                                 shape->StartY(), shape->StartZ(),
                                 static_cast<float>(shape->ColorOffset()), shape->Mass()});
        traces.push_back(std::move(trace));
    }
    return traces;
}

// The first seed from `from` on whose first scenes all move as groups.
int SeedOfGroupScenes(TestApp& app, int scenes, int from) {
    for (int seed = from; seed < from + 400; ++seed) {
        const auto traces = PlayScenes(app, seed, scenes, Handover::Sequential);
        bool grouped = true;
        for (const SceneTrace& trace : traces)
            grouped = grouped && trace.grouped;
        if (grouped)
            return seed;
    }
    return 0;
}

// Builds every group mover and clones of them that are never set up, as a half-composed
// scene leaves them: nothing of theirs may reach the next scene.
void LeaveHalfBuiltMovers(int seed) {
    Random rng(seed);
    std::vector<std::unique_ptr<Mover>> movers;
    movers.push_back(std::make_unique<MoverSwarm>(rng, MotionContext{}));
    movers.push_back(std::make_unique<MoverCollide>(rng, MotionContext{}));
    movers.push_back(std::make_unique<MoverOrbit>(rng, MotionContext{}));
    movers.push_back(std::make_unique<MoverXYZ>(rng, MotionContext{}));
    for (int i = 0; i < 20; ++i)
        movers.push_back(movers.back()->Clone());
}

TEST(GroupSceneReplay, ConsecutiveGroupScenesReplayWhateverCameBefore) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    app.Host().SetReadBack(false);
    const int seed = SeedOfGroupScenes(app, 3, 1);
    const int other = SeedOfGroupScenes(app, 2, seed + 1);
    ASSERT_NE(seed, 0);
    ASSERT_NE(other, 0);

    const auto first = PlayScenes(app, seed, 3, Handover::Sequential);
    // Other group scenes leave their tables behind; the replay must not see them, nor be
    // disturbed by the previous scene still existing while the next one is composed.
    PlayScenes(app, other, 2, Handover::Overlapping);
    LeaveHalfBuiltMovers(other);
    const auto again = PlayScenes(app, seed, 3, Handover::Overlapping);
    ASSERT_EQ(again.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_TRUE(first[i].grouped) << first[i].mover;
        EXPECT_EQ(again[i].mover, first[i].mover) << "scene " << i;
        EXPECT_EQ(again[i].values, first[i].values) << "scene " << i;
    }
}

} // namespace
