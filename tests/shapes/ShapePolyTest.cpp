#include "shapes/ShapePoly.h"
#include "shapes/Primitives.h"
#include "shapes/ShapePolyBase.h"

#include "colour/ColorMakerCalc.h"
#include "colour/ColourTable.h"
#include "core/Random.h"
#include "meshes/PolyBead.h"
#include "meshes/PolyCube.h"
#include "support/TestApp.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

// A mesh shape over a given generator.
class MeshShape : public ShapePolyBase {
public:
    MeshShape(Random& rng, std::unique_ptr<Poly> mesh) : ShapePolyBase(rng, MotionContext{}, false) {
        SetMesh(std::move(mesh));
        BuildMesh();
    }
};

struct Table {
    Table() { table.BuildColourTableFromSeed(ColourTable::kDefaultSize, 77); }
    ColourTable table;
};

} // namespace

TEST(ShapePoly, ClonesShareTheMastersListAndNeverDeleteIt) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    Table colours;
    Random rng(3);
    auto master = std::make_unique<MeshShape>(
        rng, std::make_unique<PolyBead>(rng, 6, false, MeshContext{colours.table}));
    EXPECT_EQ(master->PolygonCount(), 36);
    const GLuint list = master->ListId();
    ASSERT_NE(list, 0u);
    EXPECT_EQ(glIsList(list), GL_TRUE);

    auto clone = master->Clone();
    auto cloneOfClone = clone->Clone();
    for (const Shape* copy : {clone.get(), cloneOfClone.get()}) {
        const auto& mesh = dynamic_cast<const ShapePolyBase&>(*copy);
        EXPECT_FALSE(mesh.IsOwner());
        EXPECT_EQ(mesh.ListId(), list);
        EXPECT_EQ(mesh.Mesh(), nullptr);
        EXPECT_EQ(copy->PolygonCount(), 36);
        EXPECT_FLOAT_EQ(copy->Radius(), master->Radius());
        EXPECT_EQ(copy->UsesShapeColor(), master->UsesShapeColor());
    }
    cloneOfClone.reset();
    clone.reset();
    EXPECT_EQ(glIsList(list), GL_TRUE);
    master.reset();
    EXPECT_EQ(glIsList(list), GL_FALSE);
}

TEST(ShapePoly, ShapeColourOnlyWithoutVertexColours) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    Table colours;
    std::set<bool> seen;
    for (int seed = 1; seed <= 12; ++seed) {
        Random rng(seed);
        // A cube always wants its vertex colours.
        MeshShape cube(rng, std::make_unique<PolyCube>(rng, 4, false, MeshContext{colours.table}));
        EXPECT_FALSE(cube.UsesShapeColor());
        MeshShape bead(rng, std::make_unique<PolyBead>(rng, 4, false, MeshContext{colours.table}));
        EXPECT_EQ(bead.UsesShapeColor(), !bead.HasVertexColors());
        seen.insert(bead.HasVertexColors());
        // Sizes 0.04 .. 0.32, also the radius.
        EXPECT_GE(bead.Radius(), 0.04f - 1e-6f);
        EXPECT_LE(bead.Radius(), 0.32f + 1e-6f);
    }
    EXPECT_EQ(seen.size(), 2u); // the coin decides for meshes that do not ask
}

TEST(ShapePoly, CompiledMeshIsDrawnAtItsSize) {
    TestApp::Options options;
    options.width = 32;
    options.height = 32;
    TestApp app(options);
    ASSERT_TRUE(app.HasGL());
    Table colours;
    glViewport(0, 0, 32, 32);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.4, 0.4, -0.4, 0.4, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    Random rng(5);
    MeshShape cube(rng, std::make_unique<PolyCube>(rng, 4, false, MeshContext{colours.table}));
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Primitives solids;
    cube.DrawShape(solids);
    // The cube of edge sqrt(2) x size covers the centre and leaves the corners black.
    unsigned char centre[4] = {}, corner[4] = {};
    glReadPixels(16, 16, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre);
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner);
    EXPECT_GT(centre[0] + centre[1] + centre[2], 0);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 0); // half edge at most 0.23 of 0.4
}

TEST(ShapePoly, TexturesOnlyOnPlainScenesAboutHalfTheTime) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    Table colours;
    int textured = 0;
    for (int seed = 1; seed <= 40; ++seed) {
        Random plainRng(seed), patternRng(seed);
        ShapePoly plain(plainRng, {MeshContext{colours.table}, true, 1.0, MotionContext{}});
        ShapePoly onPattern(patternRng, {MeshContext{colours.table}, false, 1.0, MotionContext{}});
        textured += plain.HasTexture();
        EXPECT_FALSE(onPattern.HasTexture());
        EXPECT_GT(plain.PolygonCount(), 0);
        EXPECT_NE(plain.ListId(), 0u);
    }
    EXPECT_GT(textured, 8);
    EXPECT_LT(textured, 32);
}

TEST(ShapePoly, ResolutionIsEvenFromFourToSixteenAtPerformanceOne) {
    std::set<int> seen;
    for (int seed = 1; seed <= 300; ++seed) {
        Random rng(seed);
        seen.insert(ShapePoly::Resolution(rng, 1.0));
    }
    EXPECT_EQ(seen, (std::set<int>{4, 6, 8, 10, 12, 14, 16}));
}

TEST(ShapePoly, PatternColoursScaleByTheSceneWindowsLargerSide) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    Table colours;
    ShapeContext context;
    context.colours = &colours.table;
    context.sceneSize = 333;
    int calcs = 0;
    for (long seed = 1; seed <= 8; ++seed) {
        Random rng(seed);
        const ShapePoly shape(rng, context);
        if (const auto* calc = dynamic_cast<const ColorMakerCalc*>(shape.MeshColorMaker())) {
            EXPECT_EQ(calc->Pattern().Context().sceneSize, 333) << "seed " << seed;
            ++calcs;
        }
    }
    EXPECT_GT(calcs, 0);
}
