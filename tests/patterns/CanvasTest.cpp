#include "patterns/CanvasBoolMap.h"

#include "core/Random.h"
#include "patterns/GuardedCells.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The cells of the canvas that are ink, as (x, y) pairs.
std::vector<std::pair<int, int>> Inked(GuardedCells& cells, int width, int height) {
    std::vector<std::pair<int, int>> inked;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (cells.At(x, y) == 1)
                inked.emplace_back(x, y);
    return inked;
}

} // namespace

TEST(CanvasTest, MirrorPlotsFourImagesAndDropsThoseOutside) {
    Random rng(1);
    GuardedCells cells(10, 10);
    CanvasBoolMap canvas(cells.Cells(), 10, 10, rng);
    canvas.SetMirror(true);

    // Toggle pen: (0, 5) and its image (0, 10 - 5) are the same cell, toggled twice.
    canvas.Plot(0, 5);
    EXPECT_TRUE(Inked(cells, 10, 10).empty());

    canvas.SetColor(CanvasBoolMap::kInk);
    canvas.Plot(0, 5);
    EXPECT_EQ(Inked(cells, 10, 10), (std::vector<std::pair<int, int>>{{0, 5}}));

    GuardedCells four(10, 10);
    CanvasBoolMap other(four.Cells(), 10, 10, rng);
    other.SetMirror(true);
    other.Plot(3, 2);
    EXPECT_EQ(Inked(four, 10, 10),
              (std::vector<std::pair<int, int>>{{3, 2}, {7, 2}, {3, 8}, {7, 8}}));
    // (10, 10) is outside, its images (0, 10), (0, 0), (10, 0): only (0, 0) is inside.
    other.Plot(10, 10);
    EXPECT_EQ(four.At(0, 0), 1);
    EXPECT_EQ(four.InkCount(), 5);
    EXPECT_TRUE(four.GuardsIntact());
}

TEST(CanvasTest, PlottingOutsideChangesNothing) {
    Random rng(2);
    GuardedCells cells(7, 3, 1);
    CanvasBoolMap canvas(cells.Cells(), 7, 3, rng);
    const int outside[][2] = {{-1, 0},      {7, 0},       {0, -1},           {0, 3},
                              {-2, -2},     {9, 5},       {INT_MIN, 0},      {INT_MAX, 1},
                              {2, INT_MIN}, {3, INT_MAX}, {INT_MIN, INT_MIN}};
    for (const int pen : {CanvasBoolMap::kInk, CanvasBoolMap::kPaper, CanvasBoolMap::kToggle}) {
        canvas.SetColor(pen);
        for (const auto& p : outside) {
            canvas.SetMirror(false);
            canvas.PutPixel(p[0], p[1]);
            canvas.Plot(p[0], p[1]);
            // Mirror images stay outside too, unless the point lies on the far edge (x = 7 or
            // y = 3), whose images fall on the near one.
            if (p[0] < 0 || p[0] > 7 || p[1] < 0 || p[1] > 3) {
                canvas.SetMirror(true);
                canvas.Plot(p[0], p[1]);
            }
        }
    }
    EXPECT_EQ(cells.InkCount(), 21);
    EXPECT_TRUE(cells.GuardsIntact());

    // A cell array shorter than width x height: points beyond it are dropped too.
    GuardedCells shorter(4, 2);
    CanvasBoolMap shortCanvas(shorter.Cells(), 4, 5, rng);
    shortCanvas.SetColor(CanvasBoolMap::kInk);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x)
            shortCanvas.Plot(x, y);
    EXPECT_EQ(shorter.InkCount(), 8);
    EXPECT_TRUE(shorter.GuardsIntact());
}

TEST(CanvasTest, JitterMovesByAtMostOnePoint) {
    Random rng(3);
    GuardedCells cells(9, 9);
    CanvasBoolMap canvas(cells.Cells(), 9, 9, rng);
    canvas.SetColor(CanvasBoolMap::kInk);
    canvas.SetJitter(true);
    for (int i = 0; i < 200; ++i)
        canvas.Plot(4, 4);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(cells.At(x, y), (x >= 3 && x <= 5 && y >= 3 && y <= 5) ? 1 : 0);
}

TEST(CanvasTest, PensToggleAndRestore) {
    Random rng(4);
    GuardedCells cells(2, 1);
    CanvasBoolMap canvas(cells.Cells(), 2, 1, rng);
    EXPECT_EQ(canvas.Pen(), CanvasBoolMap::kToggle);
    EXPECT_EQ(canvas.AltPen(), CanvasBoolMap::kToggle);
    EXPECT_EQ(canvas.SavedPen(), CanvasBoolMap::kToggle);

    canvas.SetAltColor(CanvasBoolMap::kInk);
    canvas.UseAltColor();
    EXPECT_EQ(canvas.Pen(), CanvasBoolMap::kInk);
    canvas.RestoreColor(); // back to the colour set last, not the alternate
    EXPECT_EQ(canvas.Pen(), CanvasBoolMap::kToggle);

    canvas.SetColor(CanvasBoolMap::kPaper);
    canvas.SetToggle(true);
    EXPECT_EQ(canvas.Pen(), CanvasBoolMap::kToggle);
    canvas.PutPixel(0, 0);
    canvas.SetToggle(false);
    EXPECT_EQ(canvas.Pen(), CanvasBoolMap::kPaper);
    EXPECT_EQ(cells.At(0, 0), 1);
    canvas.PutPixel(0, 0);
    EXPECT_EQ(cells.At(0, 0), 0);

    // Not readable: GetPixel says 0 whatever the cell holds.
    canvas.SetColor(CanvasBoolMap::kInk);
    canvas.PutPixel(1, 0);
    EXPECT_EQ(canvas.GetPixel(1, 0), 0);
    EXPECT_FALSE(canvas.IsReadable());
    EXPECT_TRUE(canvas.IsOnOff());
}

TEST(CanvasTest, CopyPixelOnlyInside) {
    Random rng(5);
    GuardedCells cells(3, 3);
    CanvasBoolMap canvas(cells.Cells(), 3, 3, rng);
    canvas.SetColor(CanvasBoolMap::kInk);
    canvas.PutPixel(1, 1);
    canvas.CopyPixel(1, 1, 2, 0);
    EXPECT_EQ(cells.At(2, 0), 1);
    canvas.CopyPixel(1, 1, 3, 0);
    canvas.CopyPixel(1, 1, -1, 2);
    canvas.CopyPixel(5, 5, 0, 0);
    canvas.CopyPixel(INT_MAX, INT_MAX, INT_MIN, 0);
    EXPECT_EQ(cells.InkCount(), 2);
    EXPECT_TRUE(cells.GuardsIntact());
}

TEST(CanvasTest, DiffuseStaysInsideAndKeepsItsDraws) {
    for (const auto& [w, h] : {std::pair{1, 1}, {1, 40}, {40, 1}, {2, 2}, {0, 5}, {33, 17}}) {
        Random rng(w * 100 + h);
        GuardedCells cells(w, h);
        CanvasBoolMap canvas(cells.Cells(), w, h, rng);
        canvas.SetColor(CanvasBoolMap::kInk);
        for (int x = 0; x < w; x += 2)
            canvas.PutPixel(x, h / 2);
        const int inkBefore = cells.InkCount();
        canvas.Diffuse();
        EXPECT_TRUE(cells.GuardsIntact()) << w << "x" << h;
        EXPECT_TRUE(cells.CellsOnOff());
        if (w * h == 1) {
            EXPECT_EQ(cells.InkCount(), inkBefore); // a lone point can only copy onto itself
        }
        // One draw for the spread, then two per point.
        Random replay(w * 100 + h);
        for (int i = 0; i < 1 + 2 * w * h; ++i)
            replay.next();
        EXPECT_EQ(rng.next(), replay.next()) << w << "x" << h;
    }
}
