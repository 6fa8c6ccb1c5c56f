#include "meshes/PolyExtrude.h"
#include "meshes/PolyExtrudeCog.h"
#include "meshes/PolyExtrudePoly.h"
#include "meshes/PolyExtrudeStar.h"

#include "core/Random.h"
#include "meshes/MeshRecorder.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(PolyExtrude, SideCountsOfPolygonsStarsAndCogs) {
    MeshTestContext test;
    int fewest = 100, most = 0, triangles = 0;
    for (int seed = 1; seed <= 300; ++seed) {
        for (const int resolution : {1, 4, 16, 30}) {
            Random rng(seed * 31 + resolution);
            PolyExtrudeStar star(rng, resolution, test.Context());
            EXPECT_EQ(star.Sides() % 2, 0);
            EXPECT_GE(star.Sides(), 8);
            EXPECT_LE(star.Sides(), 20);
            PolyExtrudeCog cog(rng, resolution, test.Context());
            EXPECT_EQ(cog.Sides() % 4, 0);
            EXPECT_GE(cog.Sides(), 12);
            EXPECT_LE(cog.Sides(), 20);
        }
        Random rng(seed);
        PolyExtrudePoly poly(rng, 4, 0, 0, 0, true, true, true, test.Context());
        fewest = std::min(fewest, poly.Sides());
        most = std::max(most, poly.Sides());
        triangles += poly.Sides() == 3;
    }
    // Resolution 4 gives 3 to 18 sides, small counts likeliest.
    EXPECT_EQ(fewest, 3);
    EXPECT_LE(most, 18);
    EXPECT_GT(triangles, 300 / 16);
}

TEST(PolyExtrude, CapsAddTwoFacetsToTheTube) {
    MeshTestContext test;
    bool seenCaps = false, seenOpen = false;
    for (int seed = 1; seed <= 20; ++seed) {
        Random rng(seed);
        PolyExtrudePoly poly(rng, 8, 0, 0, 0, true, true, true, test.Context());
        MeshRecorder mesh;
        poly.Generate(mesh);
        const size_t sides = static_cast<size_t>(poly.Sides());
        EXPECT_EQ(mesh.facets.size(), poly.HasCaps() ? sides + 2 : sides);
        if (poly.HasCaps()) {
            // Each cap is the whole outline, facing away from the solid.
            EXPECT_EQ(mesh.facets[sides].Size(), poly.Sides());
            EXPECT_FLOAT_EQ(mesh.facets[sides][0].normal[2], -1.0f);
            EXPECT_GT(mesh.facets[sides + 1][0].normal[2], 0.0f);
        }
        seenCaps = seenCaps || poly.HasCaps();
        seenOpen = seenOpen || !poly.HasCaps();
        EXPECT_TRUE(poly.IsComplete());
    }
    EXPECT_TRUE(seenCaps && seenOpen);
}

TEST(PolyExtrude, TriangularPrismFacesPointAwayFromItsAxis) {
    MeshTestContext test;
    Random rng(7);
    // Resolution 1: skewed(1, 2) is 0, so 3 sides; no twist, no scale: a straight prism.
    PolyExtrudePoly prism(rng, 1, 0, 0, 0, true, false, false, test.Context());
    ASSERT_EQ(prism.Sides(), 3);
    MeshRecorder mesh;
    prism.Generate(mesh);
    ASSERT_EQ(mesh.facets.size(), 3u);
    for (const PolyFacet& side : mesh.facets) {
        ASSERT_EQ(side.Size(), 4);
        const std::array<float, 3> centre = Centroid(side);
        const std::array<float, 3> n = side[0].normal;
        EXPECT_NEAR(Length(n), 1.0f, 1e-6f);
        EXPECT_NEAR(n[2], 0.0f, 1e-6f);
        // The regular triangle's side at distance cos(60 degrees) = 0.5 from the axis.
        EXPECT_NEAR(centre[0] * n[0] + centre[1] * n[1], 0.5f, 1e-5f);
        // The top is the bottom moved up by 1: Q1 over P1, Q0 over P0.
        for (const auto& [top, bottom] : {std::pair{1, 0}, std::pair{2, 3}}) {
            EXPECT_FLOAT_EQ(side[top].position[0], side[bottom].position[0]);
            EXPECT_FLOAT_EQ(side[top].position[1], side[bottom].position[1]);
            EXPECT_FLOAT_EQ(side[bottom].position[2], -0.5f);
            EXPECT_FLOAT_EQ(side[top].position[2], 0.5f);
        }
    }
}

TEST(PolyExtrude, TwistedScaledTopKeepsUnitNormalsAndOutlineRadii) {
    MeshTestContext test;
    for (int seed = 1; seed <= 50; ++seed) {
        Random rng(seed);
        auto mesh = PolyExtrude::Create(rng, 16, test.Context());
        MeshRecorder recorder;
        mesh->Generate(recorder);
        ASSERT_GE(recorder.facets.size(), 3u);
        for (const PolyFacet& facet : recorder.facets)
            for (const PolyVertex& v : facet.Vertices())
                EXPECT_NEAR(Length(v.normal), 1.0f, 1e-5f) << seed;
        // Bottom points lie on the outline: radius 1 or the inner ratio.
        const PolyVertex& p0 = recorder.facets[0][3];
        EXPECT_FLOAT_EQ(std::hypot(p0.position[0], p0.position[1]), 1.0f);
        EXPECT_EQ(mesh->FacetPrimitive(), PolyPrimitive::Polygon);
    }
}
