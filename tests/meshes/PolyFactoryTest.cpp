#include "meshes/Poly.h"

#include "core/Random.h"
#include "meshes/MeshRecorder.h"
#include "meshes/PolyBead.h"
#include "meshes/PolyCartesian.h"
#include "meshes/PolyCube.h"
#include "meshes/PolyCylindrical.h"
#include "meshes/PolyExtrude.h"
#include "meshes/PolyPawn.h"
#include "meshes/PolySphere.h"
#include "meshes/PolySpherical.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

std::string ClassOf(const Poly& mesh) {
    if (dynamic_cast<const PolyExtrude*>(&mesh) != nullptr)
        return "extrusion";
    return typeid(mesh).name();
}

} // namespace

TEST(PolyFactory, EveryMeshHasUnitNormalsAndWholeFacets) {
    MeshTestContext test;
    std::map<std::string, int> seen;
    for (int seed = 1; seed <= 400; ++seed) {
        Random rng(seed);
        const int resolution = 4 + 2 * (seed % 7);
        auto mesh = Poly::Create(rng, resolution, nullptr, true, test.Context());
        ++seen[ClassOf(*mesh)];
        MeshRecorder recorder;
        mesh->Generate(recorder);
        EXPECT_TRUE(mesh->IsComplete());
        for (const PolyFacet& facet : recorder.facets) {
            if (mesh->FacetPrimitive() == PolyPrimitive::Quads) {
                EXPECT_EQ(facet.Size(), 4);
            }
            for (const PolyVertex& v : facet.Vertices()) {
                ASSERT_TRUE(v.hasNormal);
                EXPECT_NEAR(Length(v.normal), 1.0f, 1e-5f) << ClassOf(*mesh) << " seed " << seed;
                EXPECT_GE(v.s, 0.0f);
                EXPECT_LE(v.s, 1.0f);
                EXPECT_GE(v.t, 0.0f);
                EXPECT_LE(v.t, 1.0f);
            }
        }
    }
    // The nine grid classes and the extrusions all turn up.
    EXPECT_EQ(seen.size(), 10u);
}

TEST(PolyFactory, TwentiethDrawStandsEvenWhenExcluded) {
    MeshTestContext test;
    // Slot weights 80 40 50 40 20 40 10 300 30 10 30 200 (total 850), kinds in slot order.
    const float weights[] = {80, 40, 50, 40, 20, 40, 10, 300, 30, 10, 30, 200};
    const int kinds[] = {0, 1, 11, 2, 3, 4, 5, 6, 7, 8, 9, 12};
    const std::vector<int> everything(std::begin(kinds), std::end(kinds));
    const std::map<int, std::string> classes = {
        {0, typeid(PolyCube).name()},        {1, typeid(PolySphere).name()},
        {11, typeid(PolyHemiSphere).name()}, {2, typeid(PolyPawn).name()},
        {3, typeid(PolySpherical).name()},   {4, typeid(PolyCylindrical).name()},
        {5, typeid(PolyCartesian).name()},   {6, typeid(PolyBead).name()},
        {7, typeid(PolyRoundedBead).name()}, {8, typeid(PolySphere).name()},
        {9, typeid(PolySphere).name()},      {12, "extrusion"}};
    for (int seed = 1; seed <= 100; ++seed) {
        Random draws(seed);
        for (int k = 0; k < 19; ++k)
            draws.uniform();
        const float x = static_cast<float>(draws.uniform());
        float total = 0, cumulative = 0;
        for (const float w : weights)
            total += w;
        int slot = 0;
        while (slot < 11 && (cumulative += weights[slot]) / total <= x)
            ++slot;
        Random rng(seed);
        auto mesh = Poly::Create(rng, 4, &everything, true, test.Context());
        EXPECT_EQ(ClassOf(*mesh), classes.at(kinds[slot])) << seed;
    }
}

TEST(PolyFactory, KindsWithoutAClassBuildACube) {
    MeshTestContext test;
    Random rng(1);
    auto mesh = Poly::CreateKind(10, rng, 4, false, test.Context());
    EXPECT_NE(dynamic_cast<PolyCube*>(mesh.get()), nullptr);
}
