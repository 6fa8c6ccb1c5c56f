#include "meshes/PolyBead.h"
#include "meshes/PolyPawn.h"

#include "core/Random.h"
#include "meshes/MeshRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <utility>

namespace {

using Cell = std::pair<int, int>;

// The cells a grid generator produced, read back from the first vertex's (s, t) = (i/N, j/M).
std::set<Cell> Cells(const MeshRecorder& mesh, int rows, int columns) {
    std::set<Cell> cells;
    for (const PolyFacet& facet : mesh.facets)
        cells.insert({static_cast<int>(std::lround(facet[0].s * rows)),
                      static_cast<int>(std::lround(facet[0].t * columns))});
    return cells;
}

// A pawn built with random options whose flags are as asked (searched over seeds).
std::unique_ptr<PolyPawn> PawnWith(const MeshContext& context, bool allRows, bool allColumns,
                                   int resolution) {
    for (int seed = 1; seed < 5000; ++seed) {
        Random rng(seed);
        auto pawn = std::make_unique<PolyPawn>(rng, resolution, true, context);
        if (pawn->AllRows() == allRows && pawn->AllColumns() == allColumns)
            return pawn;
    }
    return nullptr;
}

} // namespace

TEST(PolySolid, CellRuleLeavesOutOddRowsColumnsOrBoth) {
    MeshTestContext test;
    struct Case {
        bool allRows, allColumns;
    };
    for (const Case c :
         {Case{true, true}, Case{false, true}, Case{true, false}, Case{false, false}}) {
        SCOPED_TRACE(testing::Message() << "rows " << c.allRows << " columns " << c.allColumns);
        auto pawn = PawnWith(test.Context(), c.allRows, c.allColumns, 6);
        ASSERT_NE(pawn, nullptr);
        MeshRecorder mesh;
        pawn->Generate(mesh);
        std::set<Cell> expected;
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j) {
                const bool oddRow = i % 2 == 1, oddColumn = j % 2 == 1;
                const bool missing = c.allColumns ? !c.allRows && oddRow
                                                  : (c.allRows ? oddColumn : oddRow && oddColumn);
                if (!missing)
                    expected.insert({i, j});
            }
        // No cell twice, and exactly the allowed ones.
        EXPECT_EQ(mesh.facets.size(), expected.size());
        EXPECT_EQ(Cells(mesh, 6, 6), expected);
        EXPECT_TRUE(pawn->IsComplete());
    }
}

TEST(PolySolid, RowsAreCappedAtSixteenOnlyWithoutAllRows) {
    MeshTestContext test;
    auto sparse = PawnWith(test.Context(), false, true, 40);
    ASSERT_NE(sparse, nullptr);
    EXPECT_EQ(sparse->Rows(), 16);
    EXPECT_EQ(sparse->Columns(), 40);
    auto full = PawnWith(test.Context(), true, true, 40);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->Rows(), 40);
}

TEST(PolySolid, WithoutRandomOptionsEveryCellIsMade) {
    MeshTestContext test;
    Random rng(3);
    PolyBead bead(rng, 7, false, test.Context());
    MeshRecorder mesh;
    bead.Generate(mesh);
    EXPECT_EQ(mesh.facets.size(), 49u);
    EXPECT_EQ(Cells(mesh, 7, 7).size(), 49u);
}

TEST(PolySolid, StoppedWalkTakesUpWhereItLeftOff) {
    MeshTestContext test;
    CountingGate gate;
    gate.stopAt = 20;
    Random rng(5);
    PolyBead bead(rng, 8, false, test.Context(&gate));
    MeshRecorder mesh;
    bead.Generate(mesh);
    EXPECT_FALSE(bead.IsComplete());
    EXPECT_GT(mesh.facets.size(), 0u);
    EXPECT_LT(mesh.facets.size(), 64u);
    gate.stopAt = -1;
    bead.Generate(mesh);
    EXPECT_TRUE(bead.IsComplete());
    EXPECT_EQ(mesh.facets.size(), 64u);
    EXPECT_EQ(Cells(mesh, 8, 8).size(), 64u);
    // Finished: asked again it adds nothing.
    bead.Generate(mesh);
    EXPECT_EQ(mesh.facets.size(), 64u);
}

TEST(PolySolid, RefusedFacetEndsTheWalkForGood) {
    MeshTestContext test;
    Random rng(5);
    PolyBead bead(rng, 8, false, test.Context());
    MeshRecorder mesh;
    mesh.refuseAfter = 10;
    bead.Generate(mesh);
    EXPECT_EQ(mesh.facets.size(), 10u);
    EXPECT_FALSE(bead.IsComplete());
    EXPECT_TRUE(bead.IsFinished());
    mesh.refuseAfter = -1;
    bead.Generate(mesh);
    EXPECT_EQ(mesh.facets.size(), 10u);
}

TEST(PolySolid, CellTextureCoordinatesCoverTheGridOnceInVertexOrder) {
    MeshTestContext test;
    Random rng(9);
    PolyBead bead(rng, 4, false, test.Context());
    MeshRecorder mesh;
    bead.Generate(mesh);
    ASSERT_EQ(mesh.facets.size(), 16u);
    const PolyFacet& cell = mesh.facets[6]; // row 1, column 2
    const float expected[4][2] = {{0.25f, 0.5f}, {0.25f, 0.75f}, {0.5f, 0.75f}, {0.5f, 0.5f}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(cell[k].s, expected[k][0]);
        EXPECT_FLOAT_EQ(cell[k].t, expected[k][1]);
    }
}
