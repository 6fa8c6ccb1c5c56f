#include "shapes/Primitives.h"
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

#include "core/Random.h"
#include "motion/ColorChanger.h"
#include "motion/Mover.h"
#include "motion/Rotater.h"
#include "support/TestApp.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <vector>

namespace {

// The draws of an animated Shape base: mover, rotater (no direction rotater for a mover
// that turns back), colour changer.
void ReplayAnimatedBase(Random& rng) {
    const auto mover = Mover::Create(rng, MotionContext{});
    std::vector<int> excluded;
    if (mover->ReversesDirection())
        excluded.push_back(Rotater::kDirectionKind);
    Rotater::Create(rng, MotionContext{}, &excluded);
    ColorChanger::Create(rng, MotionContext{});
}

// step * (1 .. count), as the float a size member holds.
std::set<float> Steps(double step, int count) {
    std::set<float> values;
    for (int i = 1; i <= count; ++i)
        values.insert(static_cast<float>(i * step));
    return values;
}

struct ShapeCase {
    const char* name;
    std::function<std::unique_ptr<Shape>(Random&)> make;
    int polygons;
    std::set<float> radii; // every radius the random sizes can give
};

template <typename T> std::unique_ptr<Shape> Make(Random& rng) {
    return std::make_unique<T>(rng, MotionContext{});
}

constexpr int kSeeds = 120;

} // namespace

TEST(PrimitiveShapes, PolygonCountsAndRadiiFollowTheRandomSizes) {
    TestApp app;
    const ShapeCase cases[] = {
        {"cube", Make<ShapeCube>, 6, Steps(0.02, 5)},
        {"wire cube", Make<ShapeWireCube>, 6, Steps(0.02, 5)},
        {"tetrahedron", Make<ShapeTetrahedron>, 4, Steps(0.04, 5)},
        {"wire tetrahedron", Make<ShapeWireTetrahedron>, 4, Steps(0.04, 5)},
        {"octahedron", Make<ShapeOctahedron>, 8, Steps(0.05, 5)},
        {"icosahedron", Make<ShapeIcosahedron>, 20, Steps(0.05, 5)},
        {"dodecahedron", Make<ShapeDodecahedron>, 12, Steps(0.05, 5)},
        {"sphere", Make<ShapeSphere>, 256, Steps(0.05, 5)},
        {"wire sphere", Make<ShapeWireSphere>, 64, Steps(0.05, 5)},
        {"dot", Make<ShapeDot>, 2, {1.0f}},
    };
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::set<float> seen;
        for (int seed = 1; seed <= kSeeds; ++seed) {
            Random rng(seed);
            const auto shape = c.make(rng);
            EXPECT_EQ(shape->PolygonCount(), c.polygons);
            seen.insert(shape->Radius());
            EXPECT_TRUE(shape->UsesShapeColor());
        }
        EXPECT_EQ(seen, c.radii);
    }
}

TEST(PrimitiveShapes, TwoSizedSolidsDrawBothSizesInOrder) {
    TestApp app;
    std::set<float> boxSides, tubes, gaps, cylinderRadii, cylinderHeights, coneRadii, coneHeights;
    for (int seed = 1; seed <= kSeeds; ++seed) {
        Random rng(seed);
        const ShapeBox box(rng, MotionContext{});
        EXPECT_EQ(box.PolygonCount(), 6);
        EXPECT_EQ(box.Radius(), std::max({box.Width(), box.Height(), box.Depth()}));
        boxSides.insert({box.Width(), box.Height(), box.Depth()});

        // Width, height and depth come from three draws in that order.
        Random replay(seed);
        ReplayAnimatedBase(replay);
        EXPECT_EQ(box.Width(), static_cast<float>((replay.below(8) + 1) * 0.04));
        EXPECT_EQ(box.Height(), static_cast<float>((replay.below(8) + 1) * 0.04));
        EXPECT_EQ(box.Depth(), static_cast<float>((replay.below(8) + 1) * 0.04));

        const ShapeTorus torus(rng, MotionContext{});
        EXPECT_EQ(torus.PolygonCount(), 120);
        EXPECT_FLOAT_EQ(torus.Radius(), torus.TubeRadius() + torus.RingRadius());
        tubes.insert(torus.TubeRadius());
        gaps.insert(std::round((torus.RingRadius() - torus.TubeRadius()) * 1000) / 1000);

        const ShapeCylinder cylinder(rng, MotionContext{});
        const ShapeWireCylinder wireCylinder(rng, MotionContext{});
        EXPECT_EQ(cylinder.PolygonCount(), 24);
        EXPECT_EQ(wireCylinder.PolygonCount(), 12);
        EXPECT_EQ(cylinder.Radius(), std::max(cylinder.CylinderRadius(), cylinder.Height()));
        cylinderRadii.insert(cylinder.CylinderRadius());
        cylinderHeights.insert(cylinder.Height());

        const ShapeCone cone(rng, MotionContext{});
        const ShapeWireCone wireCone(rng, MotionContext{});
        EXPECT_EQ(cone.PolygonCount(), 150);
        EXPECT_EQ(wireCone.PolygonCount(), 75);
        EXPECT_EQ(wireCone.Radius(), std::max(wireCone.BaseRadius(), wireCone.Height()));
        coneRadii.insert(cone.BaseRadius());
        coneHeights.insert(cone.Height());
    }
    EXPECT_EQ(boxSides, Steps(0.04, 8));
    EXPECT_EQ(tubes, Steps(0.02, 5));
    EXPECT_EQ(gaps, (std::set<float>{0.01f, 0.02f, 0.03f, 0.04f, 0.05f}));
    EXPECT_EQ(cylinderRadii, Steps(0.04, 4));
    EXPECT_EQ(cylinderHeights, Steps(0.06, 10));
    EXPECT_EQ(coneRadii, Steps(0.02, 10));
    EXPECT_EQ(coneHeights, Steps(0.05, 20));
}

TEST(PrimitiveShapes, SpheresBuildTheirOwnMoverAndColourChanger) {
    TestApp app;
    for (int seed = 1; seed <= 20; ++seed) {
        Random rng(seed), replay(seed);
        const ShapeSphere sphere(rng, MotionContext{});
        Mover::Create(replay, MotionContext{});
        ColorChanger::Create(replay, MotionContext{});
        EXPECT_EQ(sphere.Radius(), static_cast<float>((replay.below(5) + 1) * 0.05));
        EXPECT_EQ(rng.next(), replay.next());
        EXPECT_EQ(sphere.GetRotater(), nullptr);
        EXPECT_NE(sphere.GetMover(), nullptr);
        EXPECT_NE(sphere.GetColorChanger(), nullptr);

        // The wire sphere's base builds all three first; the sphere part then replaces
        // mover and colour changer and keeps the rotater.
        const ShapeWireSphere wire(rng, MotionContext{});
        ReplayAnimatedBase(replay);
        Mover::Create(replay, MotionContext{});
        ColorChanger::Create(replay, MotionContext{});
        EXPECT_EQ(wire.Radius(), static_cast<float>((replay.below(5) + 1) * 0.05));
        EXPECT_EQ(rng.next(), replay.next());
        EXPECT_NE(wire.GetRotater(), nullptr);

        // Its clones do not spin; clones of the other solids spin like their source.
        const auto wireClone = wire.Clone();
        EXPECT_EQ(wireClone->GetRotater(), nullptr);
        EXPECT_NE(wireClone->GetMover(), nullptr);
        EXPECT_NE(wireClone->GetMover(), wire.GetMover());
        EXPECT_NE(wireClone->GetColorChanger(), nullptr);
        EXPECT_EQ(wireClone->Radius(), wire.Radius());
        EXPECT_EQ(wireClone->PolygonCount(), 64);
        const ShapeCube cube(rng, MotionContext{});
        const auto cubeClone = cube.Clone();
        EXPECT_NE(cubeClone->GetRotater(), nullptr);
        EXPECT_NE(cubeClone->GetRotater(), cube.GetRotater());
    }
}

TEST(PrimitiveShapes, ClonesShareTheListOfTheirPrototype) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    Primitives solids;
    Random rng(7);
    ShapeCube prototype(rng, MotionContext{});
    std::vector<std::unique_ptr<Shape>> scene;
    for (int i = 0; i < 4; ++i)
        scene.push_back(prototype.Clone());
    prototype.DrawAtOrigin(solids);
    for (const auto& shape : scene) {
        EXPECT_EQ(shape->Radius(), prototype.Radius());
        shape->DrawAtOrigin(solids);
    }
    EXPECT_EQ(solids.CachedListCount(), 1);

    // A wire cube of the same edge has a list of its own.
    auto wire = std::make_unique<ShapeWireCube>(rng, MotionContext{});
    while (wire->Size() != prototype.Size())
        wire = std::make_unique<ShapeWireCube>(rng, MotionContext{});
    wire->Clone()->DrawAtOrigin(solids);
    wire->DrawAtOrigin(solids);
    EXPECT_EQ(solids.CachedListCount(Primitives::kSolidCube), 1);
    EXPECT_EQ(solids.CachedListCount(Primitives::kWireCube), 1);
}

TEST(PrimitiveShapes, ADotSetsThePointSizeAndItsCloneDoesNot) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    Random rng(11), replay(11);
    const ShapeDot dot(rng, MotionContext{});
    ReplayAnimatedBase(replay);
    const float expected = static_cast<float>(replay.uniform() * 6 + 2);
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, expected);
    EXPECT_GE(size, 2.0f);
    EXPECT_LT(size, 8.0f);

    glPointSize(1.0f);
    const auto clone = dot.Clone();
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 1.0f);
    EXPECT_EQ(clone->Radius(), 1.0f);
}
