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
    void SetUp() override {
        ASSERT_TRUE(m_App.HasGL());
        Primitives::FreeCachedLists();
    }
    void TearDown() override { Primitives::FreeCachedLists(); }

    TestApp m_App{ViewSize()};
};

} // namespace

TEST_F(PrimitivesTest, OneListPerRoutineAndSizeDrawnOnFirstUseAndReplayed) {
    // A square of 0.08 * 640 = 51.2 pixels a side.
    const int first = PixelsOf([] { Primitives::SolidCube(0.08); });
    EXPECT_NEAR(first, 51.2 * 51.2, 110);
    EXPECT_EQ(Primitives::CachedListCount(Primitives::kSolidCube), 1);

    const int replayed = PixelsOf([] { Primitives::SolidCube(0.08); });
    EXPECT_EQ(replayed, first);
    EXPECT_EQ(Primitives::CachedListCount(), 1);

    Primitives::WireCube(0.08);
    EXPECT_EQ(Primitives::CachedListCount(Primitives::kWireCube), 1);
    EXPECT_EQ(Primitives::CachedListCount(), 2);

    // Another size is another list; a box is not a cube even when it is one.
    Primitives::SolidCube(0.12);
    Primitives::SolidBox(0.08, 0.08, 0.08);
    EXPECT_EQ(Primitives::CachedListCount(Primitives::kSolidCube), 2);
    EXPECT_EQ(Primitives::CachedListCount(), 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PrimitivesTest, FreeCachedListsDeletesEveryListAndLaterDrawsCompileAgain) {
    Primitives::SolidSphere(0.1);
    Primitives::SolidTorus(0.02, 0.05);
    Primitives::SolidDodecahedron(0.1);
    Primitives::SolidIcosahedron(0.1);
    ASSERT_EQ(Primitives::CachedListCount(), 4);
    const int before = ListNamesInUse();
    ASSERT_GE(before, 4);

    Primitives::FreeCachedLists();
    EXPECT_EQ(Primitives::CachedListCount(), 0);
    EXPECT_EQ(ListNamesInUse(), before - 4);

    // A disc of radius 0.1 * 640 pixels.
    EXPECT_NEAR(PixelsOf([] { Primitives::SolidSphere(0.1); }), 3.14159 * 64 * 64, 400);
    EXPECT_EQ(Primitives::CachedListCount(Primitives::kSolidSphere), 1);
}

TEST_F(PrimitivesTest, SolidAndWireCylindersDrawInTheirOwnStyle) {
    // From the side the solid fills a 0.16 x 0.12 rectangle; the wire only draws its lines.
    const int solid = SidePixelsOf([] { Primitives::SolidCylinder(0.08, 0.12); }, 0.12);
    const int wire = SidePixelsOf([] { Primitives::WireCylinder(0.08, 0.12); }, 0.12);
    EXPECT_NEAR(solid, (0.16 * 640) * (0.12 * 640), 250);
    EXPECT_GT(wire, 0);
    EXPECT_LT(wire, solid / 4);
    EXPECT_EQ(Primitives::CachedListCount(Primitives::kSolidCylinder), 1);
    EXPECT_EQ(Primitives::CachedListCount(Primitives::kWireCylinder), 1);
}

TEST_F(PrimitivesTest, EveryRoutineDrawsWithoutGLErrors) {
    const auto draws = {
        +[] { Primitives::WireSphere(0.1); },         +[] { Primitives::SolidSphere(0.1); },
        +[] { Primitives::WireCylinder(0.04, 0.1); }, +[] { Primitives::SolidCylinder(0.04, 0.1); },
        +[] { Primitives::LineCone(0.1, 0.1); },      +[] { Primitives::WireCube(0.1); },
        +[] { Primitives::SolidCube(0.1); },          +[] { Primitives::SolidBox(0.1, 0.2, 0.05); },
        +[] { Primitives::SolidTorus(0.04, 0.07); },  +[] { Primitives::WireTetrahedron(0.1); },
        +[] { Primitives::SolidTetrahedron(0.1); },   +[] { Primitives::SolidOctahedron(0.1); },
        +[] { Primitives::SolidIcosahedron(0.1); },   +[] { Primitives::SolidDodecahedron(0.1); },
    };
    int index = 0;
    for (auto draw : draws) {
        EXPECT_GT(SidePixelsOf(draw, 0.1), 0) << "routine " << index;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "routine " << index;
        ++index;
    }
    EXPECT_EQ(Primitives::CachedListCount(), 14);
}
