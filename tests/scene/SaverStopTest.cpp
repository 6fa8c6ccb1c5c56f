// A stop requested while a scene is being composed or drawn ends that work at once: a frame
// of a huge budget is abandoned part-way, neither finished nor shown.
#include "scene/SaverShapes.h"

#include "core/RegSettings.h"
#include "core/StopRequest.h"
#include "host/offscreen/OffscreenHost.h"
#include "scene/SceneWnd.h"
#include "support/ShapeDoubles.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

FrameLog gLog;
int gDraws = 0;
int gStopAtDraw = 0; // the draw that raises the stop; 0 never
int gKeyAtDraw = 0;  // the draw from which a key waits; 0 never
bool gSlowDraws = false;

bool KeyWaiting() {
    return gKeyAtDraw > 0 && gDraws >= gKeyAtDraw;
}

// One polygon; raises the stop request when the chosen draw comes.
class StoppingShape : public Shape {
public:
    explicit StoppingShape(Random& rng) : Shape(rng, MotionContext{}, false) {
        auto mover = std::make_unique<LoggingMover>(rng, gLog);
        mover->SetVisible(true);
        SetMover(std::move(mover));
        SetRotater(std::make_unique<LoggingRotater>(rng, gLog));
        SetColorChanger(std::make_unique<FixedColorChanger>(rng, 5));
    }
    std::unique_ptr<Shape> Clone() const override {
        return std::unique_ptr<Shape>(new StoppingShape(*this));
    }
    void DrawShape(Primitives&) override {
        if (++gDraws == gStopAtDraw)
            StopRequest::Raise();
        if (!gSlowDraws)
            return;
        // A draw that takes time, so that a frame spans many slices.
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(20);
        while (std::chrono::steady_clock::now() < until) {
        }
    }
    float Radius() const override { return 1.0f; }
    int PolygonCount() const override { return 1; }

private:
    StoppingShape(const StoppingShape&) = default;
};

std::unique_ptr<Shape> MakeStoppingShape(Random& rng, const MotionContext&,
                                         const std::vector<int>*) {
    return std::make_unique<StoppingShape>(rng);
}

long Count(const std::string& event) {
    return std::count(gLog.events.begin(), gLog.events.end(), event);
}

class SaverStopTest : public ::testing::Test {
protected:
    void SetUp() override {
        gLog = FrameLog{};
        gDraws = 0;
        gStopAtDraw = 0;
        gKeyAtDraw = 0;
        gSlowDraws = false;
        StopRequest::Clear();
    }
    void TearDown() override {
        StopRequest::SetInputCheck(nullptr);
        StopRequest::Clear();
    }
};

TEST_F(SaverStopTest, StopInsideAFrameAbandonsItAtOnce) {
    TestApp::Options options;
    options.frameLimit = 0; // no input: only the stop ends the burst
    TestApp app(options);
    ASSERT_TRUE(app.HasGL());
    app.Settings().SetPolygons(5000);
    SaverShapes scene(app.Wnd().NextScene(), &MakeStoppingShape);
    ASSERT_EQ(scene.Shapes().size(), 5000u);
    gStopAtDraw = 1200; // inside the first frame
    scene.Frame();
    EXPECT_EQ(gDraws, 1200) << "no shape is drawn after the stop";
    EXPECT_EQ(scene.frameNumber(), 0) << "the frame is not counted";
    EXPECT_EQ(Count("update"), 0) << "nor finished";
    EXPECT_EQ(app.Host().FramesSwapped(), 0) << "nor shown";
    EXPECT_FALSE(scene.IsDone()) << "the run ends; the scene was not used up";

    // Later frames: the stop also ends a burst that is under way.
    StopRequest::Clear();
    gDraws = 0;
    gStopAtDraw = 3 * 5000 + 10;
    scene.Frame();
    EXPECT_EQ(gDraws, 3 * 5000 + 10);
    EXPECT_EQ(scene.frameNumber(), 3);
    EXPECT_EQ(app.Host().FramesSwapped(), 3);
}

// A key waiting in a full-screen run is a stop: it ends a frame at its next slice instead of
// after the frame.
TEST_F(SaverStopTest, KeyInsideAFrameEndsItAtTheNextSlice) {
    TestApp::Options options;
    options.frameLimit = 0;
    TestApp app(options);
    ASSERT_TRUE(app.HasGL());
    app.Settings().SetPolygons(5000);
    SaverShapes scene(app.Wnd().NextScene(), &MakeStoppingShape);
    gSlowDraws = true; // 5000 draws of 20 us: a frame of about 12 slices
    gKeyAtDraw = 1000;
    gStopAtDraw = 5001; // the frame's last draw: a missed key cannot run the scene on
    StopRequest::SetInputCheck(&KeyWaiting);
    scene.Frame();
    EXPECT_TRUE(StopRequest::Raised());
    EXPECT_GE(gDraws, 1000);
    EXPECT_LT(gDraws, 5000) << "the frame ends before its last shape";
    EXPECT_EQ(scene.frameNumber(), 0);
    EXPECT_EQ(app.Host().FramesSwapped(), 0);
}

TEST_F(SaverStopTest, StopDuringCompositionKeepsWhatWasBuilt) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    app.Settings().SetPolygons(RegSettings::MaxPolygons);
    StopRequest::Raise();
    SaverShapes scene(app.Wnd().NextScene(), &MakeStoppingShape);
    EXPECT_EQ(scene.Shapes().size(), 1u) << "no clone is made once the run is ending";
    EXPECT_EQ(Count("setup"), 0) << "nor set up";
    EXPECT_TRUE(scene.IsDone());
}

} // namespace
