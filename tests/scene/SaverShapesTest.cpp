#include "scene/SaverShapes.h"

#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"
#include "host/offscreen/OffscreenHost.h"
#include "motion/Mover.h"
#include "scene/SceneWnd.h"
#include "shapes/Primitives.h"
#include "support/ShapeDoubles.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <typeinfo>

namespace {

// What the tests' prototype factory builds and saw.
FrameLog gLog;
int gPolygons = 6;
std::vector<int> gExcluded;

std::unique_ptr<Shape> MakeLoggingShape(Random& rng, const MotionContext&,
                                        const std::vector<int>* excluded) {
    gExcluded = excluded ? *excluded : std::vector<int>{};
    return std::make_unique<LoggingShape>(rng, gLog, gPolygons);
}

std::unique_ptr<Shape> MakeCube(Random& rng, const MotionContext& motion, const std::vector<int>*) {
    ShapeContext context;
    context.motion = motion;
    return Shape::CreateKind(0, rng, context);
}

TestApp::Options WithFrameLimit(int frames) {
    TestApp::Options options;
    options.frameLimit = frames;
    return options;
}

class SaverShapesTest : public ::testing::Test {
protected:
    void SetUp() override {
        gLog = FrameLog{};
        gPolygons = 6;
    }
};

TEST_F(SaverShapesTest, ClonesFillTheBudget) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    // Shapes of 6 polygons: a budget of 5 holds the prototype alone, 12 two, 13 three.
    for (const auto& [budget, shapes] : {std::pair{5, 1u}, {12, 2u}, {13, 3u}}) {
        app.Settings().SetPolygons(budget);
        SaverShapes scene(app.Wnd().NextScene(), &MakeLoggingShape);
        EXPECT_EQ(scene.Shapes().size(), shapes) << "budget " << budget;
        EXPECT_EQ(scene.Polygons(), static_cast<int>(shapes) * 6);
    }
    // Without photographs the photograph cube is excluded.
    EXPECT_EQ(gExcluded, std::vector<int>{12});
}

TEST_F(SaverShapesTest, SceneWithoutPolygonsEndsOnItsFirstPaint) {
    TestApp app(WithFrameLimit(0));
    ASSERT_TRUE(app.HasGL());
    gPolygons = 0;
    SaverShapes scene(app.Wnd().NextScene(), &MakeLoggingShape);
    EXPECT_EQ(scene.Shapes().size(), 1u);
    EXPECT_FALSE(scene.IsDone());
    scene.Frame();
    EXPECT_TRUE(scene.IsDone());
    EXPECT_EQ(scene.frameNumber(), 0);
    EXPECT_EQ(app.Host().FramesSwapped(), 0);
}

TEST_F(SaverShapesTest, EveryShapeDrawsAndStepsThenTheGroupUpdates) {
    TestApp app(WithFrameLimit(2));
    ASSERT_TRUE(app.HasGL());
    app.Wnd().SwapBuffers(); // a frame of an earlier scene is on screen
    gPolygons = 1;
    app.Settings().SetPolygons(3);
    SaverShapes scene(app.Wnd().NextScene(), &MakeLoggingShape);
    ASSERT_EQ(scene.Shapes().size(), 3u);
    EXPECT_EQ(gLog.events, (std::vector<std::string>{"setup", "setup", "setup"}));
    gLog.events.clear();
    scene.Frame();
    const std::vector<std::string> frame = {"turn", "draw", "step", "turn", "draw",
                                            "step", "turn", "draw", "step", "update"};
    // The first frame runs the prototype's list twice where nothing is drawn (neither turned
    // nor stepped) before the shapes; later frames do not.
    std::vector<std::string> first = {"draw", "draw"};
    first.insert(first.end(), frame.begin(), frame.end());
    EXPECT_EQ(gLog.events, first);
    EXPECT_EQ(scene.frameNumber(), 1);
    gLog.events.clear();
    app.Host().SetFrameLimit(app.Host().FramesSwapped() + 1);
    scene.Frame();
    EXPECT_EQ(gLog.events, frame);
    EXPECT_EQ(scene.frameNumber(), 2);
}

TEST_F(SaverShapesTest, RunsFirstFrameShowsTheRoomBeforeTheListIsPrepared) {
    TestApp app(WithFrameLimit(1));
    ASSERT_TRUE(app.HasGL());
    gPolygons = 1;
    app.Settings().SetPolygons(2);
    SaverShapes scene(app.Wnd().NextScene(), &MakeLoggingShape);
    gLog.events.clear();
    scene.Frame();
    // The frame's own work first; the two calls of the prototype's list only after it.
    EXPECT_EQ(gLog.events, (std::vector<std::string>{"turn", "draw", "step", "turn", "draw", "step",
                                                     "update", "draw", "draw"}));
    EXPECT_EQ(scene.frameNumber(), 1);
    gLog.events.clear();
    app.Host().SetFrameLimit(app.Host().FramesSwapped() + 1);
    scene.Frame();
    EXPECT_EQ(gLog.events,
              (std::vector<std::string>{"turn", "draw", "step", "turn", "draw", "step", "update"}));
}

TEST_F(SaverShapesTest, OddBurstCutByInputSwapsOnceMore) {
    for (const auto& [limit, swaps] : {std::pair{3, 4}, {2, 2}, {1, 2}}) {
        TestApp app(WithFrameLimit(limit));
        ASSERT_TRUE(app.HasGL());
        SaverShapes scene(app.Wnd().NextScene(), &MakeLoggingShape);
        scene.Frame();
        EXPECT_EQ(scene.frameNumber(), limit);
        EXPECT_EQ(app.Host().FramesSwapped(), swaps) << "limit " << limit;
        EXPECT_FALSE(scene.IsDone());
    }
}

TEST_F(SaverShapesTest, SceneEndsAfterItsLastFrame) {
    TestApp::Options options = WithFrameLimit(0);
    options.configure = [](MemoryProfileStore& store) { store.SetRaw("Speed", "99"); };
    TestApp app(options);
    ASSERT_TRUE(app.HasGL());
    SaverShapes scene(app.Wnd().NextScene(), &MakeLoggingShape);
    ASSERT_EQ(scene.cycleFrames(), 30);
    scene.Frame();
    // Frames 0 .. 31 are drawn: the one numbered 31 is the first beyond the cycle.
    EXPECT_TRUE(scene.IsDone());
    EXPECT_EQ(scene.frameNumber(), 32);
}

TEST_F(SaverShapesTest, ClonesShareThePrototypesDisplayList) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    app.Settings().SetPolygons(120);
    SaverShapes scene(app.Wnd().NextScene(), &MakeCube);
    ASSERT_GT(scene.Shapes().size(), 1u);
    Primitives solids;
    for (const auto& shape : scene.Shapes())
        shape->DrawAtOrigin(solids);
    EXPECT_EQ(solids.CachedListCount(Primitives::kSolidCube), 1);
    EXPECT_EQ(solids.CachedListCount(), 1);
}

// A run of scenes as the window plays them: classes, sizes, colours and the last pixels.
struct SceneSummary {
    std::string shape;
    std::string mover;
    std::size_t shapes = 0;
    int polygons = 0;
    SceneKind kind = SceneKind::Plain;
    float shininess = 0;
    std::vector<unsigned char> pixels;

    bool operator==(const SceneSummary&) const = default;
};

std::vector<SceneSummary> PlayScenes(long seed, int scenes) {
    TestApp::Options options = WithFrameLimit(0);
    options.seed = seed;
    options.width = 48;
    options.height = 32;
    // Cycles of 30 frames, so each paint plays a whole scene of 32 frames (0 .. 31).
    options.configure = [](MemoryProfileStore& store) {
        store.SetRaw("Speed", "99");
        store.SetRaw("Polygons", "100");
    };
    constexpr int kSceneFrames = 32;
    TestApp app(options);
    std::vector<SceneSummary> summaries;
    if (!app.HasGL())
        return summaries;
    for (int i = 0; i < scenes; ++i) {
        // "Input" arrives as the scene ends, so the burst is not measured: the budget, and
        // with it the next scene, must not depend on how fast this machine drew.
        app.Host().SetFrameLimit(app.Host().FramesSwapped() + kSceneFrames);
        app.Wnd().OnPaint();
        const Saver& scene = *app.Wnd().Scene();
        EXPECT_TRUE(scene.IsDone());
        SceneSummary summary;
        const Shape& prototype = *scene.Shapes().front();
        summary.shape = typeid(prototype).name();
        summary.mover = typeid(*prototype.GetMover()).name();
        summary.shapes = scene.Shapes().size();
        summary.polygons = scene.Polygons();
        summary.kind = scene.Kind();
        summary.shininess = scene.Shininess();
        summary.pixels = app.Host().LastFrame();
        summaries.push_back(std::move(summary));
    }
    return summaries;
}

TEST(SaverShapesReplayTest, SeedReplaysTheSameScenesAndPixels) {
    const std::vector<SceneSummary> first = PlayScenes(20261208, 3);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(PlayScenes(20261208, 3), first);
    const std::vector<SceneSummary> other = PlayScenes(777, 3);
    ASSERT_EQ(other.size(), 3u);
    EXPECT_NE(other, first);
    int differing = 0;
    for (std::size_t i = 0; i < first.size(); ++i)
        differing += first[i].pixels != other[i].pixels ? 1 : 0;
    EXPECT_GT(differing, 0);
    for (const SceneSummary& summary : first) {
        EXPECT_GE(summary.shapes, 1u);
        EXPECT_EQ(summary.pixels.size(), 48u * 32u * 3u);
    }
}

} // namespace
