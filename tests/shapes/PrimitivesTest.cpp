#include "shapes/Primitives.h"

#include "support/TestApp.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 192;

// White, unlit drawing in an orthographic view 0.4 wide and 0.3 high, so that a pixel
// count measures how much of the view a routine covers (640 pixels per unit).
void PrepareView() {
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.2, 0.2, -0.15, 0.15, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    glColor4f(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

int LitPixels() {
    glFinish();
    std::vector<unsigned char> rgba(kWidth * kHeight * 4);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        lit += rgba[i] > 128 ? 1 : 0;
    return lit;
}

template <typename Draw> int PixelsOf(Draw draw) {
    PrepareView();
    draw();
    return LitPixels();
}

// Quadric cylinders and cones stand along +z: turn them to be seen from the side.
template <typename Draw> int SidePixelsOf(Draw draw, double height) {
    return PixelsOf([&] {
        glRotated(90, 1, 0, 0);
        glTranslated(0, 0, -height / 2);
        draw();
    });
}

int ListNamesInUse() {
    int count = 0;
    for (GLuint name = 1; name <= 256; ++name)
        count += glIsList(name) ? 1 : 0;
    return count;
}

TestApp::Options ViewSize() {
    TestApp::Options options;
    options.width = kWidth;
    options.height = kHeight;
    return options;
}

class PrimitivesTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_App.HasGL()); }

    TestApp m_App{ViewSize()};
    Primitives m_Solids; // goes first, while the context is current
};

} // namespace

TEST_F(PrimitivesTest, OneListPerRoutineAndSizeDrawnOnFirstUseAndReplayed) {
    // A square of 0.08 * 640 = 51.2 pixels a side.
    const int first = PixelsOf([this] { m_Solids.SolidCube(0.08); });
    EXPECT_NEAR(first, 51.2 * 51.2, 110);
    EXPECT_EQ(m_Solids.CachedListCount(Primitives::kSolidCube), 1);

    const int replayed = PixelsOf([this] { m_Solids.SolidCube(0.08); });
    EXPECT_EQ(replayed, first);
    EXPECT_EQ(m_Solids.CachedListCount(), 1);

    m_Solids.WireCube(0.08);
    EXPECT_EQ(m_Solids.CachedListCount(Primitives::kWireCube), 1);
    EXPECT_EQ(m_Solids.CachedListCount(), 2);

    // Another size is another list; a box is not a cube even when it is one.
    m_Solids.SolidCube(0.12);
    m_Solids.SolidBox(0.08, 0.08, 0.08);
    EXPECT_EQ(m_Solids.CachedListCount(Primitives::kSolidCube), 2);
    EXPECT_EQ(m_Solids.CachedListCount(), 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PrimitivesTest, FreeCachedListsDeletesEveryListAndLaterDrawsCompileAgain) {
    m_Solids.SolidSphere(0.1);
    m_Solids.SolidTorus(0.02, 0.05);
    m_Solids.SolidDodecahedron(0.1);
    m_Solids.SolidIcosahedron(0.1);
    ASSERT_EQ(m_Solids.CachedListCount(), 4);
    const int before = ListNamesInUse();
    ASSERT_GE(before, 4);

    m_Solids.FreeCachedLists();
    EXPECT_EQ(m_Solids.CachedListCount(), 0);
    EXPECT_EQ(ListNamesInUse(), before - 4);

    // A disc of radius 0.1 * 640 pixels.
    EXPECT_NEAR(PixelsOf([this] { m_Solids.SolidSphere(0.1); }), 3.14159 * 64 * 64, 400);
    EXPECT_EQ(m_Solids.CachedListCount(Primitives::kSolidSphere), 1);
}

TEST_F(PrimitivesTest, SolidAndWireCylindersDrawInTheirOwnStyle) {
    // From the side the solid fills a 0.16 x 0.12 rectangle; the wire only draws its lines.
    const int solid = SidePixelsOf([this] { m_Solids.SolidCylinder(0.08, 0.12); }, 0.12);
    const int wire = SidePixelsOf([this] { m_Solids.WireCylinder(0.08, 0.12); }, 0.12);
    EXPECT_NEAR(solid, (0.16 * 640) * (0.12 * 640), 250);
    EXPECT_GT(wire, 0);
    EXPECT_LT(wire, solid / 4);
    EXPECT_EQ(m_Solids.CachedListCount(Primitives::kSolidCylinder), 1);
    EXPECT_EQ(m_Solids.CachedListCount(Primitives::kWireCylinder), 1);
}

TEST_F(PrimitivesTest, EveryRoutineDrawsWithoutGLErrors) {
    const auto draws = {
        +[](Primitives& p) { p.WireSphere(0.1); },
        +[](Primitives& p) { p.SolidSphere(0.1); },
        +[](Primitives& p) { p.WireCylinder(0.04, 0.1); },
        +[](Primitives& p) { p.SolidCylinder(0.04, 0.1); },
        +[](Primitives& p) { p.LineCone(0.1, 0.1); },
        +[](Primitives& p) { p.WireCube(0.1); },
        +[](Primitives& p) { p.SolidCube(0.1); },
        +[](Primitives& p) { p.SolidBox(0.1, 0.2, 0.05); },
        +[](Primitives& p) { p.SolidTorus(0.04, 0.07); },
        +[](Primitives& p) { p.WireTetrahedron(0.1); },
        +[](Primitives& p) { p.SolidTetrahedron(0.1); },
        +[](Primitives& p) { p.SolidOctahedron(0.1); },
        +[](Primitives& p) { p.SolidIcosahedron(0.1); },
        +[](Primitives& p) { p.SolidDodecahedron(0.1); },
    };
    int index = 0;
    for (auto draw : draws) {
        EXPECT_GT(SidePixelsOf([&] { draw(m_Solids); }, 0.1), 0) << "routine " << index;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "routine " << index;
        ++index;
    }
    EXPECT_EQ(m_Solids.CachedListCount(), 14);
}
