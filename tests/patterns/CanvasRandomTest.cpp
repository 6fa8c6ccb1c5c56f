#include "core/IntGrid.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "patterns/CanvasBoolMap.h"
#include "patterns/GuardedCells.h"
#include "patterns/LimnShapes.h"
#include "patterns/PatternLimn.h"
#include "patterns/Shape2D.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// Canvas sizes with the awkward ones over-represented: single points, single rows and
// columns, empty canvases.
std::pair<int, int> CanvasSize(Random& rng) {
    switch (rng.below(6)) {
    case 0:
        return {1, 1};
    case 1:
        return {1, rng.below(40) + 1};
    case 2:
        return {rng.below(40) + 1, 1};
    case 3:
        return {rng.below(3), rng.below(3)};
    default:
        return {rng.below(48) + 1, rng.below(48) + 1};
    }
}

// Mostly ordinary values, sometimes extreme ones.
int Wild(Random& rng, int ordinary) {
    switch (rng.below(12)) {
    case 0:
        return INT_MAX;
    case 1:
        return INT_MIN + 1;
    case 2:
        return -rng.below(1000) - 2;
    case 3:
        return 100000 + rng.below(1000000);
    default:
        return ordinary;
    }
}

} // namespace

// Figures of every kind, drawn every way on canvases of every shape, never write outside
// the cells and leave every cell on or off.
TEST(CanvasRandomTest, FiguresNeverWriteOutsideTheCanvas) {
    WeightedChoice kinds;
    kinds.setWeights(FloatArray(Shape2D::kKindCount, 1.0f), true);
    for (int seed = 1; seed <= 400; ++seed) {
        Random rng(seed);
        const auto [w, h] = CanvasSize(rng);
        GuardedCells cells(w, h, static_cast<unsigned char>(rng.flip()));
        CanvasBoolMap canvas(cells.Cells(), w, h, rng);
        canvas.SetMirror(rng.flip() == 1);
        canvas.SetJitter(rng.flip() == 1);
        canvas.SetColor(rng.below(4));
        canvas.SetAltColor(rng.below(4));

        std::vector<std::unique_ptr<Shape2D>> figures;
        for (int i = 0; i < 4; ++i) {
            const bool wild = rng.below(4) == 0;
            const int cx = wild ? Wild(rng, Shape2D::kRandom) : Shape2D::kRandom;
            const int cy = wild ? Wild(rng, Shape2D::kRandom) : Shape2D::kRandom;
            // Huge figures are slow to outline; their extremes are in the centre already.
            const int size = wild ? rng.below(200) - 20 : Shape2D::kRandom;
            auto figure = Shape2D::Create(rng, canvas, kinds, 0, rng.flip() == 1, cx, cy, size);
            figure->SetLineWidth(rng.below(3) == 0 ? rng.below(7) : 1);
            figure->SetToggle(rng.flip() == 1);
            figures.push_back(std::move(figure));
        }
        for (auto& a : figures)
            for (auto& b : figures)
                a->KeepApart(*b);
        for (auto& figure : figures) {
            figure->Draw(canvas, rng.below(3) == 0, rng.flip() == 1);
            figure->Scale(static_cast<float>(rng.uniform()));
            figure->Draw(canvas, false, true);
            figure->SetSize(Wild(rng, rng.below(30)) % 5000);
            figure->Draw(canvas, false, true);
        }
        if (rng.flip() == 1)
            canvas.Diffuse();
        ASSERT_TRUE(cells.GuardsIntact()) << "seed " << seed << " " << w << "x" << h;
        ASSERT_TRUE(cells.CellsOnOff()) << "seed " << seed;
    }
}

// Whole line drawings on tiny and thin canvases, through the pattern and directly.
TEST(CanvasRandomTest, LineDrawingsOnTinyCanvases) {
    for (int seed = 1; seed <= 60; ++seed) {
        Random rng(seed);
        const auto [w, h] = CanvasSize(rng);
        GuardedCells cells(w, h);
        CanvasBoolMap canvas(cells.Cells(), w, h, rng);
        LimnShapes limn(rng, canvas, seed % 2 == 0, seed % 3 == 0, 1 + rng.below(300));
        limn.Interact(static_cast<float>(rng.uniform()));
        limn.Draw(canvas, seed % 2 == 0);
        ASSERT_TRUE(cells.GuardsIntact()) << "seed " << seed;

        PatternContext context;
        context.colourCount = rng.below(4) == 0 ? 1 : 256;
        PatternLimn pattern(rng, context);
        IntGrid grid;
        pattern.FillGrid(grid, w, h, false);
        for (int i = 0; i < grid.Rows() * grid.Columns(); ++i) {
            ASSERT_GE(grid.Data()[i], 0);
            ASSERT_LT(grid.Data()[i], context.colourCount);
        }
    }
}
