#include "shapes/Shape.h"

#include "colour/ColourTable.h"
#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"
#include "scene/GLContext.h"
#include "scene/SceneWnd.h"
#include "shapes/ShapeCube.h"
#include "shapes/ShapePhotoCube.h"
#include "shapes/ShapePoly.h"
#include "support/ShapeDoubles.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <typeindex>

namespace {

using Events = std::vector<std::string>;

class ShapeFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!app.HasGL())
            GTEST_SKIP() << "no off-screen GL";
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    }

    TestApp app;
    Random rng{11};
    FrameLog log;
};

void ExpectMatrix(const std::array<float, 16>& actual, const std::array<float, 16>& expected) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "element " << i;
}

// The shape starts at (1, 2, 3); the rotater turns 90 degrees about z; the group scale is
// (2, 3, 4). Column-major matrices worked out by hand.
const std::array<float, 16> kTranslated = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
const std::array<float, 16> kTurnedScaled = {0, 2, 0, 0, -3, 0, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1};
const std::array<float, 16> kTurned = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};

TEST_F(ShapeFrameTest, TranslatesTurnsScalesColoursDrawsThenSteps) {
    FrameContext frame = BareFrame(app.Wnd().Colours(), &app.Wnd().GL()->Solids());
    frame.scale.animated = true;
    LoggingShape shape(rng, log, 1);
    shape.Setup(frame, 1, 1);
    // Changer index 5 plus offset 300 wraps to entry 49 of the 256 colours.
    shape.SetColor(300, 0.5f);
    log.events.clear();

    shape.Draw(frame);

    EXPECT_EQ(log.events, (Events{"turn", "draw", "step"}));
    ExpectMatrix(log.turnMatrix, kTranslated);
    ExpectMatrix(log.drawMatrix, kTurnedScaled);
    const Color& entry = app.Wnd().Colours().TableColor(49);
    EXPECT_FLOAT_EQ(log.drawColour[0], entry.r);
    EXPECT_FLOAT_EQ(log.drawColour[1], entry.g);
    EXPECT_FLOAT_EQ(log.drawColour[2], entry.b);
    EXPECT_FLOAT_EQ(log.drawColour[3], 0.5f);

    // The matrix is restored, and the next frame draws where the step left the shape.
    std::array<float, 16> after{};
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    ExpectMatrix(after, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    shape.Draw(frame);
    EXPECT_FLOAT_EQ(log.turnMatrix[12], 2.0f);
    EXPECT_FLOAT_EQ(shape.X(), 3.0f);
    EXPECT_FLOAT_EQ(shape.StartX(), 1.0f);
}

TEST_F(ShapeFrameTest, NoScaleUnlessTheGroupScaleIsAnimated) {
    const FrameContext frame = BareFrame(app.Wnd().Colours(), &app.Wnd().GL()->Solids());
    LoggingShape shape(rng, log, 1);
    shape.Setup(frame, 1, 1);
    shape.Draw(frame);
    ExpectMatrix(log.drawMatrix, kTurned);
}

TEST_F(ShapeFrameTest, InvisibleShapeIsColouredAndSteppedButNotDrawn) {
    const FrameContext frame = BareFrame(app.Wnd().Colours(), &app.Wnd().GL()->Solids());
    LoggingShape shape(rng, log, 1, false);
    shape.Setup(frame, 1, 1);
    shape.SetColor(0, 1.0f);
    log.events.clear();

    shape.Draw(frame);

    EXPECT_EQ(log.events, (Events{"turn", "step"}));
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    const Color& entry = app.Wnd().Colours().TableColor(5);
    EXPECT_FLOAT_EQ(colour[0], entry.r);
    EXPECT_FLOAT_EQ(colour[3], 1.0f);
    EXPECT_FLOAT_EQ(shape.X(), 2.0f);
}

TEST_F(ShapeFrameTest, CloneHasItsOwnBehavioursAndStartsUnplaced) {
    const FrameContext frame = BareFrame(app.Wnd().Colours(), &app.Wnd().GL()->Solids());
    LoggingShape shape(rng, log, 3);
    shape.Setup(frame, 1, 1);
    shape.SetColor(17, 0.25f);
    const std::unique_ptr<Shape> clone = shape.Clone();
    EXPECT_NE(clone->GetMover(), shape.GetMover());
    EXPECT_NE(clone->GetRotater(), shape.GetRotater());
    EXPECT_NE(clone->GetColorChanger(), shape.GetColorChanger());
    EXPECT_EQ(clone->PolygonCount(), 3);
    EXPECT_FLOAT_EQ(clone->X(), 0.0f);
    EXPECT_EQ(clone->ColorOffset(), 0);
    EXPECT_FLOAT_EQ(clone->Alpha(), 1.0f);
}

TEST(ShapeFactoryTest, KindsOutsideTheTableBuildACube) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    Random rng(5);
    for (const int kind : {-1, 13, 19, 1000})
        EXPECT_EQ(std::type_index(typeid(*Shape::CreateKind(kind, rng))),
                  std::type_index(typeid(ShapeCube)))
            << "kind " << kind;
    // Without pictures the photograph shape is an untextured mesh.
    EXPECT_EQ(std::type_index(typeid(*Shape::CreateKind(12, rng))),
              std::type_index(typeid(ShapePhotoCube)));
    EXPECT_EQ(Shape::PhotoCubeKind(), 12);
    EXPECT_EQ(std::type_index(typeid(*Shape::CreateKind(10, rng))),
              std::type_index(typeid(ShapePoly)));
}

TEST(ShapeFactoryTest, WeightsFollowPerformanceAndFolders) {
    MemoryProfileStore store;
    store.SetRaw("FramesPerSecond", "25");
    store.SetRaw("Polygons", "2500"); // performance 1
    RegSettings settings(store);
    settings.SetFolders({"/pics"});
    // Ratios to kind 0 (weight 100), so the check does not depend on the table's total.
    const FloatArray w = Shape::KindWeights(settings);
    ASSERT_EQ(w.size(), 19u);
    EXPECT_NEAR(w[1] / w[0], 0.8, 1e-5);
    EXPECT_NEAR(w[11] / w[0], 0.5, 1e-5);
    EXPECT_NEAR(w[14] / w[0], 0.7, 1e-5);
    EXPECT_NEAR(w[18] / w[0], 0.4, 1e-5);
    EXPECT_NEAR(w[10] / w[0], 10.0, 1e-5); // the mesh shape, 1000 x performance 1
    EXPECT_FLOAT_EQ(w[13], 0);
    EXPECT_NEAR(w[12] / w[0], 0.5, 1e-5); // ImageProb 50 x performance 1

    settings.SetFramesPerSecond(12);
    settings.SetPolygons(3000); // performance 0.56
    settings.SetFolders({});
    const FloatArray slow = Shape::KindWeights(settings);
    EXPECT_NEAR(slow[1] / slow[0], 0.448, 1e-5);
    EXPECT_NEAR(slow[6] / slow[0], 0.56, 1e-5);
    EXPECT_NEAR(slow[16] / slow[0], 0.336, 1e-5);
    EXPECT_NEAR(slow[17] / slow[0], 1.0, 1e-5);
    EXPECT_FLOAT_EQ(slow[12], 0); // no folders, no photograph cube
}

TEST(ShapeFactoryTest, KindsWithoutClassesAreNeverDrawn) {
    TestApp app;
    const FloatArray& table = app.Wnd().ShapeKinds().Cumulative();
    ASSERT_EQ(table.size(), 19u);
    EXPECT_FLOAT_EQ(table[12], table[11]);
    EXPECT_FLOAT_EQ(table[13], table[12]);
}

} // namespace
