#include "shapes/Shape.h"

#include "app/RegSettings.h"
#include "app/SceneWnd.h"
#include "motion/ColourTable.h"
#include "shapes/ShapeBox.h"
#include "shapes/ShapeCone.h"
#include "shapes/ShapeCube.h"
#include "shapes/ShapeCylinder.h"
#include "shapes/ShapeDodecahedron.h"
#include "shapes/ShapeDot.h"
#include "shapes/ShapeIcosahedron.h"
#include "shapes/ShapeOctahedron.h"
#include "shapes/ShapeSphere.h"
#include "shapes/ShapeTetrahedron.h"
#include "shapes/ShapeTorus.h"
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
    BareScene scene(&app.Wnd());
    scene.SetScaleAnimated(true);
    LoggingShape shape(rng, log, 1);
    shape.Setup(scene, 1, 1);
    // Changer index 5 plus offset 300 wraps to entry 49 of the 256 colours.
    shape.SetColor(300, 0.5f);
    log.events.clear();

    shape.Draw(scene);

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
    shape.Draw(scene);
    EXPECT_FLOAT_EQ(log.turnMatrix[12], 2.0f);
    EXPECT_FLOAT_EQ(shape.X(), 3.0f);
    EXPECT_FLOAT_EQ(shape.StartX(), 1.0f);
}

TEST_F(ShapeFrameTest, NoScaleUnlessTheGroupScaleIsAnimated) {
    BareScene scene(&app.Wnd());
    LoggingShape shape(rng, log, 1);
    shape.Setup(scene, 1, 1);
    shape.Draw(scene);
    ExpectMatrix(log.drawMatrix, kTurned);
}

TEST_F(ShapeFrameTest, InvisibleShapeIsColouredAndSteppedButNotDrawn) {
    BareScene scene(&app.Wnd());
    LoggingShape shape(rng, log, 1, false);
    shape.Setup(scene, 1, 1);
    shape.SetColor(0, 1.0f);
    log.events.clear();

    shape.Draw(scene);

    EXPECT_EQ(log.events, (Events{"turn", "step"}));
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    const Color& entry = app.Wnd().Colours().TableColor(5);
    EXPECT_FLOAT_EQ(colour[0], entry.r);
    EXPECT_FLOAT_EQ(colour[3], 1.0f);
    EXPECT_FLOAT_EQ(shape.X(), 2.0f);
}

TEST_F(ShapeFrameTest, CloneHasItsOwnBehavioursAndStartsUnplaced) {
    BareScene scene(&app.Wnd());
    LoggingShape shape(rng, log, 3);
    shape.Setup(scene, 1, 1);
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

// A shape built without behaviours (a subclass fills them later).
class BareShape : public Shape {
public:
    explicit BareShape(Random& rng) : Shape(rng, false) {}
    std::unique_ptr<Shape> Clone() const override { return nullptr; }
    void DrawShape() override {}
    float Radius() const override { return 0.0f; }
    int PolygonCount() const override { return 0; }
};

TEST(ShapeTest, GroupHooksWithoutAMoverDoNothing) {
    Random rng(3);
    BareShape shape(rng);
    EXPECT_TRUE(shape.IsActive());
    EXPECT_EQ(shape.GroupCount(1000), 0);
    shape.AddVelocity(1.0f, 1.0f, 1.0f);
    shape.StopVelocity();
    shape.OnCollision();
    shape.ScaleSpin(2.0f);
    EXPECT_FLOAT_EQ(shape.X(), 0.0f);
}

TEST(ShapeTest, DistanceIsEuclidean) {
    Random rng(3);
    BareShape a(rng);
    BareShape b(rng);
    a.SetPosition(1.0f, 2.0f, 3.0f);
    b.SetPosition(4.0f, 6.0f, 3.0f);
    EXPECT_FLOAT_EQ(a.DistanceTo(b), 5.0f);
    EXPECT_FLOAT_EQ(b.DistanceTo(a), 5.0f);
    EXPECT_FLOAT_EQ(a.DistanceTo(a), 0.0f);
}

TEST(ShapeFactoryTest, EveryKindBuildsItsClassAndOthersACube) {
    TestApp app;
    if (!app.HasGL())
        GTEST_SKIP() << "no off-screen GL";
    // Kinds 10 (mesh shape), 12 (photograph cube) and 13 have no class of their own yet.
    const std::vector<std::type_index> expected = {
        typeid(ShapeCube),       typeid(ShapeSphere),
        typeid(ShapeTorus),      typeid(ShapeCone),
        typeid(ShapeBox),        typeid(ShapeTetrahedron),
        typeid(ShapeCylinder),   typeid(ShapeIcosahedron),
        typeid(ShapeOctahedron), typeid(ShapeDodecahedron),
        typeid(ShapeCube),       typeid(ShapeDot),
        typeid(ShapeCube),       typeid(ShapeCube),
        typeid(ShapeWireCube),   typeid(ShapeWireTetrahedron),
        typeid(ShapeWireSphere), typeid(ShapeWireCylinder),
        typeid(ShapeWireCone)};
    Random rng(5);
    for (int kind = 0; kind < Shape::KindCount; ++kind) {
        const std::unique_ptr<Shape> shape = Shape::CreateKind(kind, rng);
        EXPECT_EQ(std::type_index(typeid(*shape)), expected[static_cast<std::size_t>(kind)])
            << "kind " << kind;
    }
    for (const int kind : {-1, 19, 1000})
        EXPECT_EQ(std::type_index(typeid(*Shape::CreateKind(kind, rng))),
                  std::type_index(typeid(ShapeCube)));
}

TEST(ShapeFactoryTest, KindsWithoutClassesAreNeverDrawn) {
    TestApp app;
    if (!app.HasGL())
        GTEST_SKIP() << "no off-screen GL";
    const FloatArray& table = app.Settings().ShapeKinds().Cumulative();
    ASSERT_EQ(table.size(), 19u);
    EXPECT_FLOAT_EQ(table[10], table[9]);
    EXPECT_FLOAT_EQ(table[12], table[11]);
    EXPECT_FLOAT_EQ(table[13], table[12]);
}

} // namespace
