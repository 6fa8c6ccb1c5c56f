#include "meshes/PolyBead.h"
#include "meshes/PolyCartesian.h"
#include "meshes/PolyCube.h"
#include "meshes/PolyCylindrical.h"
#include "meshes/PolyPawn.h"
#include "meshes/PolySphere.h"
#include "meshes/PolySpherical.h"

#include "core/Random.h"
#include "meshes/MeshRecorder.h"
#include "patterns/PatternSinFM.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <utility>

TEST(PolyCube, WithoutOptionsSixFacetsEachWithItsOutwardNormal) {
    MeshTestContext test;
    Random rng(1);
    PolyCube cube(rng, 16, false, test.Context());
    MeshRecorder mesh;
    cube.Generate(mesh);
    ASSERT_EQ(mesh.facets.size(), 6u);
    const float h = 1.0f / std::sqrt(2.0f);
    std::set<std::array<float, 3>> normals;
    for (const PolyFacet& facet : mesh.facets) {
        const std::array<float, 3> n = facet[0].normal;
        normals.insert(n);
        // The face lies at distance h along its normal, the normal pointing away from the
        // centre.
        for (const PolyVertex& v : facet.Vertices()) {
            EXPECT_EQ(v.normal, n);
            EXPECT_FLOAT_EQ(Dot(v.position, n), h);
        }
        EXPECT_GT(facet[0].colour.a, 0.0f); // coloured by its maker
    }
    EXPECT_EQ(normals.size(), 6u);
    EXPECT_TRUE(cube.WantsVertexColors());
    EXPECT_TRUE(cube.IsComplete());
}

TEST(PolyCube, GridIsHalfTheResolutionBetweenOneAndThirtyTwo) {
    MeshTestContext test;
    for (const auto& [resolution, size] : {std::pair{2, 1}, {3, 1}, {9, 4}, {64, 32}, {100, 32}}) {
        Random rng(resolution);
        PolyCube cube(rng, resolution, true, test.Context());
        EXPECT_EQ(cube.Columns(), size);
        EXPECT_EQ(cube.Rows(), cube.AllRows() ? size : std::min(size, 16));
    }
}

TEST(PolyCube, RandomFacesKeepTheBottomWhenAnotherFaceIsMissing) {
    MeshTestContext test;
    for (int seed = 1; seed <= 200; ++seed) {
        Random rng(seed);
        PolyCube cube(rng, 4, true, test.Context());
        bool othersOn = true;
        for (const auto face : {PolyCube::kPlusY, PolyCube::kMinusY, PolyCube::kMinusX,
                                PolyCube::kPlusX, PolyCube::kPlusZ})
            othersOn = othersOn && cube.FaceOn(face);
        if (!othersOn) {
            EXPECT_TRUE(cube.FaceOn(PolyCube::kMinusZ)) << seed;
        }
    }
}

TEST(PolySphere, RowsRunFromTheStartRowToHalfTheGrid) {
    MeshTestContext test;
    Random rng(2);
    PolySphere sphere(rng, 8, false, test.Context());
    PolyHemiSphere hemi(rng, 8, false, test.Context());
    MeshRecorder whole, half;
    sphere.Generate(whole);
    hemi.Generate(half);
    EXPECT_EQ(whole.facets.size(), 4u * 8u);
    EXPECT_EQ(half.facets.size(), 2u * 8u);
    // Rows 2..3 of the hemisphere have s = 2/8 .. 4/8 and lie in z <= 0.
    for (const PolyFacet& facet : half.facets)
        for (const PolyVertex& v : facet.Vertices()) {
            EXPECT_GE(v.s, 0.25f);
            EXPECT_LE(v.s, 0.5f);
            EXPECT_LE(v.position[2], 1e-6f);
        }
    // The whole sphere reaches both poles, every vertex on the unit sphere with the radial
    // normal.
    float lowest = 1, highest = -1;
    for (const PolyFacet& facet : whole.facets)
        for (const PolyVertex& v : facet.Vertices()) {
            EXPECT_NEAR(Length(v.position), 1.0f, 1e-5f);
            EXPECT_NEAR(Dot(v.position, v.normal), 1.0f, 1e-5f);
            lowest = std::min(lowest, v.position[2]);
            highest = std::max(highest, v.position[2]);
        }
    EXPECT_FLOAT_EQ(lowest, -1.0f);
    EXPECT_FLOAT_EQ(highest, 1.0f);
    EXPECT_FLOAT_EQ(sphere.Radius(), 2.0f);
}

TEST(PolyRoundedBead, StretchedAlongZByOneToThree) {
    MeshTestContext test;
    for (int seed = 1; seed <= 20; ++seed) {
        Random rng(seed);
        PolyRoundedBead bead(rng, 8, false, test.Context());
        MeshRecorder mesh;
        bead.Generate(mesh);
        float height = 0, width = 0;
        for (const PolyFacet& facet : mesh.facets)
            for (const PolyVertex& v : facet.Vertices()) {
                height = std::max(height, std::fabs(v.position[2]));
                width = std::max(width, std::hypot(v.position[0], v.position[1]));
            }
        EXPECT_GE(height / width, 1.0f);
        EXPECT_LT(height / width, 3.0f);
        EXPECT_FLOAT_EQ(height / width, bead.Size());
        EXPECT_FLOAT_EQ(bead.Radius(), 2.0f * bead.Size());
    }
}

TEST(PolyPawn, ProfileRadiusStaysWithinZeroAndOne) {
    MeshTestContext test;
    for (int seed = 1; seed <= 200; ++seed) {
        Random rng(seed);
        PolyPawn pawn(rng, 4, true, test.Context());
        for (int k = 0; k <= 100; ++k) {
            const float r = pawn.ProfileRadius(static_cast<float>(k * std::numbers::pi / 100));
            EXPECT_GE(r, 0.0f);
            EXPECT_LE(r, 1.0f);
        }
    }
}

TEST(PolyPawn, NormalIsAtRightAnglesToTheTurningDirection) {
    MeshTestContext test;
    Random rng(4);
    PolyPawn pawn(rng, 12, false, test.Context());
    MeshRecorder mesh;
    pawn.Generate(mesh);
    for (const PolyFacet& facet : mesh.facets)
        for (const PolyVertex& v : facet.Vertices()) {
            const std::array<float, 3> around = {-v.position[1], v.position[0], 0.0f};
            EXPECT_NEAR(Dot(around, v.normal), 0.0f, 1e-5f);
            // Pointing outwards, away from the axis.
            EXPECT_GE(v.position[0] * v.normal[0] + v.position[1] * v.normal[1], -1e-6f);
        }
}

TEST(PolyBead, ResolutionZeroHasHalfLengthOneAndNoFacets) {
    MeshTestContext test;
    Random rng(6);
    PolyBead bead(rng, 0, false, test.Context());
    EXPECT_FLOAT_EQ(bead.HalfLength(), 1.0f);
    EXPECT_FLOAT_EQ(bead.Radius(), 2.0f);
    EXPECT_GE(bead.Girth(), 0.1f);
    EXPECT_LT(bead.Girth(), 1.6f);
    MeshRecorder mesh;
    bead.Generate(mesh);
    EXPECT_TRUE(mesh.facets.empty());
    EXPECT_TRUE(bead.IsComplete());
}

TEST(PolyBead, SpansItsLengthWithinItsGirth) {
    MeshTestContext test;
    Random rng(8);
    PolyBead bead(rng, 10, false, test.Context());
    EXPECT_GE(bead.HalfLength(), 1.0f);
    EXPECT_LT(bead.HalfLength(), 4.0f);
    MeshRecorder mesh;
    bead.Generate(mesh);
    float top = -10, widest = 0;
    for (const PolyFacet& facet : mesh.facets)
        for (const PolyVertex& v : facet.Vertices()) {
            top = std::max(top, v.position[2]);
            widest = std::max(widest, std::hypot(v.position[0], v.position[1]));
        }
    EXPECT_FLOAT_EQ(top, bead.HalfLength());
    EXPECT_NEAR(widest, bead.Girth(), 1e-6f); // reached at row 5 of 10 (alpha = pi / 2)
}

TEST(PolyProfiles, ShapesFollowTheirProfilesWithinTheUnitRange) {
    MeshTestContext test;
    for (int seed = 1; seed <= 10; ++seed) {
        Random rng(seed);
        PolyCylindrical tube(rng, 8, false, test.Context());
        PolySpherical ball(rng, 8, false, test.Context());
        PolyCartesian field(rng, 8, false, test.Context());
        MeshRecorder tubeMesh, ballMesh, fieldMesh;
        tube.Generate(tubeMesh);
        ball.Generate(ballMesh);
        field.Generate(fieldMesh);
        ASSERT_EQ(tubeMesh.facets.size(), 64u);
        ASSERT_EQ(fieldMesh.facets.size(), 64u);
        for (const PolyFacet& facet : tubeMesh.facets) {
            // Vertex 0 sits at row edge i, column edge j.
            const int i = static_cast<int>(std::lround(facet[0].s * 8));
            const int j = static_cast<int>(std::lround(facet[0].t * 8));
            const float rho = std::hypot(facet[0].position[0], facet[0].position[1]);
            const float a = tube.Profiles().PatternA().Evaluate(i / 4.0f - 1.0f);
            const float b = tube.Profiles().PatternB().Evaluate(j / 4.0f - 1.0f);
            EXPECT_NEAR(rho, (a + 1) / 4 + (b + 1) / 4, 1e-5f);
            EXPECT_FLOAT_EQ(facet[0].position[2], i / 4.0f - 1.0f);
        }
        for (const PolyFacet& facet : fieldMesh.facets)
            for (const PolyVertex& v : facet.Vertices()) {
                EXPECT_LE(v.normal[2], 0.0f); // a height field seen from below
                EXPECT_GE(v.position[2], -0.01f);
                EXPECT_LE(v.position[2], 1.01f);
            }
    }
}
