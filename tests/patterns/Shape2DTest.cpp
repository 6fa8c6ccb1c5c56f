#include "patterns/Shape2D.h"

#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "patterns/CanvasBoolMap.h"
#include "patterns/GuardedCells.h"
#include "patterns/Shape2DAngle.h"
#include "patterns/Shape2DEllipse.h"
#include "patterns/Shape2DGrid.h"
#include "patterns/Shape2DSpiral.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <set>

namespace {

// A polygon with the points the test gives.
class TestPoly : public Shape2DPoly {
public:
    TestPoly(int cx, int cy, std::vector<std::pair<double, double>> points)
        : Shape2DPoly(0, cx, cy, 10) {
        for (const auto& [x, y] : points)
            AddPoint(x, y);
    }
};

// A choice that always gives kind.
WeightedChoice OnlyKind(int kind) {
    FloatArray weights(Shape2D::kKindCount, 0.0f);
    weights[static_cast<std::size_t>(kind)] = 1.0f;
    WeightedChoice choice;
    choice.setWeights(weights, true);
    return choice;
}

std::set<std::pair<int, int>> InkedCells(GuardedCells& cells, int width, int height) {
    std::set<std::pair<int, int>> inked;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (cells.At(x, y) == 1)
                inked.emplace(x, y);
    return inked;
}

// A canvas whose pen and alternate pen both write ink.
struct InkCanvas {
    InkCanvas(int w, int h) : cells(w, h), canvas(cells.Cells(), w, h, rng) {
        canvas.SetColor(CanvasBoolMap::kInk);
        canvas.SetAltColor(CanvasBoolMap::kInk);
    }
    Random rng{1};
    GuardedCells cells;
    CanvasBoolMap canvas;
};

bool AllAtCentre(const Shape2DPoly& poly) {
    for (const auto& p : poly.Points())
        if (p.x != static_cast<float>(poly.CentreX()) || p.y != static_cast<float>(poly.CentreY()))
            return false;
    return true;
}

} // namespace

TEST(Shape2DTest, LinesPlotEveryPixelBetweenTheEnds) {
    InkCanvas ink(12, 12);
    const TestPoly pen(0, 0, {});
    pen.DrawLine(ink.canvas, 0, 0, 4, 2);
    EXPECT_EQ(InkedCells(ink.cells, 12, 12),
              (std::set<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));

    InkCanvas straight(12, 12);
    pen.DrawLine(straight.canvas, 9, 3, 5, 3);  // right to left
    pen.DrawLine(straight.canvas, 1, 11, 1, 7); // bottom to top
    EXPECT_EQ(straight.cells.InkCount(), 10);
    EXPECT_EQ(straight.cells.At(5, 3), 1);
    EXPECT_EQ(straight.cells.At(1, 7), 1);
}

TEST(Shape2DTest, ScanLineFillCoversHalfOpenRows) {
    // Rows 2..4 and columns 2..6: the pixel centres inside the 5 x 3 rectangle.
    InkCanvas rect(10, 10);
    TestPoly(4, 4, {{2, 2}, {7, 2}, {7, 5}, {2, 5}}).Fill(rect.canvas);
    std::set<std::pair<int, int>> expected;
    for (int y = 2; y <= 4; ++y)
        for (int x = 2; x <= 6; ++x)
            expected.emplace(x, y);
    EXPECT_EQ(InkedCells(rect.cells, 10, 10), expected);

    // Right triangle with legs 10: row y holds columns 0 .. 9 - y, 55 cells.
    InkCanvas tri(12, 12);
    TestPoly(3, 3, {{0, 0}, {10, 0}, {0, 10}}).Fill(tri.canvas);
    EXPECT_EQ(tri.cells.InkCount(), 55);
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(tri.cells.At(9 - y, y), 1);
        EXPECT_EQ(tri.cells.At(10 - y, y), 0);
    }

    // Even-odd: a square inside a square, one outline, leaves the inner square empty.
    InkCanvas ring(12, 12);
    TestPoly(5, 5,
             {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {3, 3}, {3, 7}, {7, 7}, {7, 3}, {3, 3}})
        .Fill(ring.canvas);
    EXPECT_EQ(ring.cells.InkCount(), 100 - 16);
    EXPECT_EQ(ring.cells.At(5, 5), 0);
}

TEST(Shape2DTest, DegeneratePolygonsFillNothing) {
    InkCanvas ink(12, 12);
    TestPoly(0, 0, {{1, 1}, {8, 8}}).Fill(ink.canvas);                 // two points
    TestPoly(0, 0, {{1, 1}, {5, 5}, {9, 9}}).Fill(ink.canvas);         // on one line
    TestPoly(0, 0, {{4, 4}, {4, 4}, {4, 4}, {4, 4}}).Fill(ink.canvas); // one point
    TestPoly(0, 0, {{1, 3}, {9, 3}, {5, 3}}).Fill(ink.canvas);         // flat
    EXPECT_EQ(ink.cells.InkCount(), 0);

    // Two points drawn filled are not filled either, nor outlined.
    TestPoly two(0, 0, {{1, 1}, {8, 8}});
    two.SetFilled(true);
    two.Draw(ink.canvas, false, true);
    EXPECT_EQ(ink.cells.InkCount(), 0);
}

TEST(Shape2DTest, FillOfAbsurdPolygonsStaysInside) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<std::pair<double, double>>> polygons = {
        {{-1e12, -1e12}, {1e12, -1e12}, {1e12, 1e12}, {-1e12, 1e12}},
        {{-inf, 0}, {inf, 3}, {nan, nan}, {5, inf}},
        {{0, -3e9}, {2e9, 4}, {-2e9, 5}, {9, 3e9}, {-7, -1}}, // self-intersecting
        {{INT32_MIN, INT32_MAX}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}},
    };
    for (const auto& points : polygons) {
        for (const bool mirror : {false, true}) {
            Random rng(9);
            GuardedCells cells(6, 4);
            CanvasBoolMap canvas(cells.Cells(), 6, 4, rng);
            canvas.SetMirror(mirror);
            canvas.SetJitter(mirror);
            TestPoly(2, 2, points).Fill(canvas);
            EXPECT_TRUE(cells.GuardsIntact());
            EXPECT_TRUE(cells.CellsOnOff());
        }
    }
    // The big square covers the canvas: every cell toggled once.
    Random rng(9);
    GuardedCells cells(6, 4);
    CanvasBoolMap canvas(cells.Cells(), 6, 4, rng);
    TestPoly(2, 2, polygons[0]).Fill(canvas);
    EXPECT_EQ(cells.InkCount(), 24);
}

TEST(Shape2DTest, HugeFiguresStayInsideAndFinish) {
    Random rng(13);
    for (int kind = 0; kind < Shape2D::kKindCount; ++kind) {
        for (const int centre : {INT_MIN, 3, INT_MAX}) {
            GuardedCells cells(9, 5);
            CanvasBoolMap canvas(cells.Cells(), 9, 5, rng);
            canvas.SetMirror(centre == 3);
            auto figure =
                Shape2D::Create(rng, canvas, OnlyKind(kind), 0, false, centre, centre, INT_MAX);
            figure->SetLineWidth(centre == 3 ? 5 : 1);
            figure->Draw(canvas, false, true);
            figure->Draw(canvas, true, true);
            EXPECT_TRUE(cells.GuardsIntact());
            EXPECT_TRUE(cells.CellsOnOff());
        }
    }
}

TEST(Shape2DTest, FillStopsWhenTheGateSaysSo) {
    InkCanvas ink(10, 10);
    ScriptedGate gate({true, true, false});
    ink.canvas.SetGate(&gate);
    TestPoly(4, 4, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}).Fill(ink.canvas);
    EXPECT_EQ(gate.calls, 3);
    EXPECT_EQ(ink.cells.InkCount(), 30); // rows 0..2
    EXPECT_EQ(ink.cells.At(0, 2), 1);
    EXPECT_EQ(ink.cells.At(0, 3), 0);
}

TEST(Shape2DTest, ClosedOutlineWithEqualEndsHasNoClosingSegment) {
    Random rng(1);
    GuardedCells cells(10, 10);
    CanvasBoolMap canvas(cells.Cells(), 10, 10, rng); // toggle pen: a doubled pixel vanishes
    TestPoly(4, 4, {{2, 2}, {6, 2}, {6, 6}, {2, 2}}).Draw(canvas, false, true);
    // Each corner is toggled by the two segments that meet there.
    EXPECT_EQ(cells.At(2, 2), 0);
    EXPECT_EQ(cells.At(6, 2), 0);
    EXPECT_EQ(cells.At(6, 6), 0);
    EXPECT_EQ(cells.At(4, 2), 1);
    EXPECT_EQ(cells.At(4, 4), 1);

    // Open ends get the closing segment: (2, 6) .. (2, 2) appears.
    GuardedCells open(10, 10);
    CanvasBoolMap other(open.Cells(), 10, 10, rng);
    TestPoly(4, 4, {{2, 2}, {6, 2}, {6, 6}, {2, 6}}).Draw(other, false, true);
    EXPECT_EQ(open.At(2, 4), 1);
    EXPECT_EQ(open.At(2, 2), 0);
    EXPECT_EQ(open.InkCount(), 4 * 3); // the corners vanish
}

TEST(Shape2DTest, ThickLines) {
    InkCanvas ink(30, 30);
    TestPoly pen(0, 0, {});
    pen.SetLineWidth(4);
    pen.DrawThickLine(ink.canvas, 7, 7, 7, 7, 1.0f); // length below 1
    EXPECT_EQ(ink.cells.InkCount(), 0);

    // Length 10, width 4: a 10 x 4 band about y = 15 plus round caps of radius 2 at both ends.
    pen.DrawThickLine(ink.canvas, 10, 15, 20, 15, 1.0f);
    EXPECT_GE(ink.cells.InkCount(), 40);
    for (const auto& [x, y] : InkedCells(ink.cells, 30, 30)) {
        EXPECT_GE(x, 8);
        EXPECT_LE(x, 22);
        EXPECT_GE(y, 13);
        EXPECT_LE(y, 17);
    }
    // Caps only at ends well inside the canvas: none at the corner.
    InkCanvas corner(30, 30);
    pen.DrawThickLine(corner.canvas, 0, 0, 0, 10, 3.0f);
    for (const auto& [x, y] : InkedCells(corner.cells, 30, 30))
        EXPECT_LE(x, 2);
}

TEST(Shape2DTest, FiguresOfSizeZeroStayAtTheirCentre) {
    Random rng(11);
    GuardedCells cells(40, 40);
    CanvasBoolMap canvas(cells.Cells(), 40, 40, rng);
    // The kinds without a second radius keep size 0.
    for (const int kind : {0, 1, 8, 9, 13, 15}) {
        auto figure = Shape2D::Create(rng, canvas, OnlyKind(kind), 0, false, 20, 21, 0, 0.7f);
        const auto* poly = dynamic_cast<const Shape2DPoly*>(figure.get());
        ASSERT_NE(poly, nullptr);
        EXPECT_EQ(figure->Size(), 0) << kind;
        EXPECT_TRUE(AllAtCentre(*poly)) << kind;
        figure->SetSize(9);
        EXPECT_EQ(figure->Size(), 0) << kind;
        EXPECT_TRUE(AllAtCentre(*poly)) << kind;
    }
    // Any closed figure shrunk to 0 collapses onto its centre and stays there.
    for (int kind = 0; kind < Shape2D::kKindCount; ++kind) {
        auto figure = Shape2D::Create(rng, canvas, OnlyKind(kind), 0, false, 20, 20, 12, 0.3f);
        figure->SetSize(0);
        EXPECT_EQ(figure->Size(), 0);
        if (const auto* poly = dynamic_cast<const Shape2DPoly*>(figure.get())) {
            EXPECT_TRUE(AllAtCentre(*poly)) << kind;
        }
        figure->SetSize(5);
        EXPECT_EQ(figure->Size(), 0);
    }
}

TEST(Shape2DTest, KeepApartShrinksOverlappingFigures) {
    // Larger one's radius below the distance: the smaller one shrinks to fit.
    Shape2DCircle a(0, 20, 20, 10);
    Shape2DCircle b(0, 35, 20, 8);
    a.KeepApart(b);
    EXPECT_EQ(a.Size(), 10);
    EXPECT_EQ(b.Size(), 5);
    // Generated points are truncated, so they may stand out by up to a pixel on each axis.
    for (const auto& p : b.Points())
        EXPECT_LE(std::hypot(p.x - 35.0, p.y - 20.0), 5.0 + std::sqrt(2.0));

    // Only the smaller one's radius below the distance: the larger one shrinks.
    Shape2DCircle c(0, 20, 20, 10);
    Shape2DCircle d(0, 29, 20, 8);
    d.KeepApart(c);
    EXPECT_EQ(c.Size(), 1);
    EXPECT_EQ(d.Size(), 8);

    // Equal sizes: the one asked shrinks.
    Shape2DCircle e(0, 0, 0, 10);
    Shape2DCircle f(0, 12, 0, 10);
    e.KeepApart(f);
    EXPECT_EQ(e.Size(), 2);
    EXPECT_EQ(f.Size(), 10);

    // Far enough apart, or one not keeping apart: nothing.
    Shape2DCircle g(0, 0, 0, 10);
    Shape2DCircle h(0, 18, 0, 8);
    g.KeepApart(h);
    Shape2DRectangle r(0, 5, 0, 10, 10, 0.0f, false, false, false);
    g.KeepApart(r);
    EXPECT_EQ(g.Size(), 10);
    EXPECT_EQ(h.Size(), 8);
    EXPECT_EQ(r.Size(), 10);

    // The same centre: both shrink to 0.
    Shape2DCircle i(0, 7, 7, 10);
    Shape2DStar j(0, 7, 7, 3, 6, 5);
    i.KeepApart(j);
    EXPECT_EQ(i.Size(), 0);
    EXPECT_EQ(j.Size(), 0);
    EXPECT_TRUE(AllAtCentre(i));
    EXPECT_TRUE(AllAtCentre(j));
}

TEST(Shape2DTest, ToggleModeTwiceLeavesNoTrace) {
    int tracesAfterOne = 0;
    for (int kind = 0; kind < Shape2D::kKindCount; ++kind) {
        for (const int width : {1, 3}) {
            for (const bool filled : {false, true}) {
                Random rng(kind * 7 + width);
                InkCanvas ink(48, 40);
                auto figure = Shape2D::Create(rng, ink.canvas, OnlyKind(kind), 0, false);
                figure->SetLineWidth(width);
                figure->SetFilled(filled);
                figure->SetToggle(true);
                figure->Draw(ink.canvas, false, true);
                tracesAfterOne += ink.cells.InkCount() > 0 ? 1 : 0;
                figure->Draw(ink.canvas, false, true);
                EXPECT_EQ(ink.cells.InkCount(), 0) << "kind " << kind << " width " << width;
                EXPECT_EQ(ink.canvas.Pen(), CanvasBoolMap::kInk);
                EXPECT_TRUE(ink.cells.GuardsIntact());
            }
        }
    }
    EXPECT_GT(tracesAfterOne, 50); // the figures did draw
}

TEST(Shape2DTest, CreateBuildsEachKindWithinTheCanvas) {
    Random rng(21);
    GuardedCells cells(100, 60);
    CanvasBoolMap canvas(cells.Cells(), 100, 60, rng);
    for (int round = 0; round < 20; ++round) {
        for (int kind = 0; kind < Shape2D::kKindCount; ++kind) {
            const bool half = round % 2 == 1;
            auto figure = Shape2D::Create(rng, canvas, OnlyKind(kind), 0, half);
            EXPECT_EQ(figure->IsOpen(), kind >= 8 && kind <= 13) << kind;
            EXPECT_GE(figure->CentreX(), 0);
            EXPECT_LT(figure->CentreX(), half ? 50 : 100);
            EXPECT_GE(figure->CentreY(), 0);
            EXPECT_LT(figure->CentreY(), half ? 30 : 60);
            EXPECT_GE(figure->Size(), 1);
            EXPECT_LE(figure->Size(), half ? 25 : 50);
        }
    }
    auto square = Shape2D::Create(rng, canvas, OnlyKind(1), 0, false, 10, 10, 5, 0.0f);
    const auto& corners = dynamic_cast<const Shape2DPoly&>(*square).Points();
    EXPECT_EQ(corners, (std::vector<Shape2D::Point>{{5, 5}, {15, 5}, {15, 15}, {5, 15}}));
    EXPECT_NE(dynamic_cast<const Shape2DCircle*>(
                  Shape2D::Create(rng, canvas, OnlyKind(0), 0, false).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<const Shape2DAmoeba*>(
                  Shape2D::Create(rng, canvas, OnlyKind(14), 0, false).get()),
              nullptr);
}

TEST(Shape2DTest, RotateAndResizeAboutTheCentre) {
    const Shape2DCircle circle(0, 20, 20, 10);
    Shape2D::Point p{30, 20};
    // A quarter turn; the float angle is a hair short of it, which truncation may show.
    circle.RotatePoint(p, static_cast<float>(std::acos(-1.0) / 2));
    EXPECT_EQ(p.x, 20.0f);
    EXPECT_GE(p.y, 29.0f);
    EXPECT_LE(p.y, 30.0f);
    Shape2D::Point centre{20, 20};
    circle.RotatePoint(centre, 1.0f);
    EXPECT_EQ(centre, (Shape2D::Point{20, 20}));

    Shape2DCircle big(0, 50, 50, 20);
    big.SetSize(10);
    EXPECT_EQ(big.Size(), 10);
    for (const auto& q : big.Points()) {
        const double r = std::hypot(q.x - 50.0, q.y - 50.0);
        EXPECT_LE(r, 10.0 + 2 * std::sqrt(2.0));
        EXPECT_GT(r, 8.0);
    }
    big.Scale(0.5f);
    EXPECT_EQ(big.Points().front(), (Shape2D::Point{55, 50}));
}

TEST(Shape2DTest, StrokeFigures) {
    // Horizontal lines at y = 10, 15, .. 30 from x = 10 to 30; start 1 leaves out the borders.
    InkCanvas full(40, 40);
    Shape2DGrid(0, 20, 20, 10, 4, 0, 0, 1.0f).Draw(full.canvas, false, true);
    EXPECT_EQ(full.cells.InkCount(), 5 * 21);
    InkCanvas inner(40, 40);
    Shape2DGrid(0, 20, 20, 10, 4, 0, 1, 1.0f).Draw(inner.canvas, false, true);
    EXPECT_EQ(inner.cells.InkCount(), 3 * 21);
    EXPECT_EQ(inner.cells.At(10, 10), 0);
    EXPECT_EQ(inner.cells.At(10, 15), 1);

    // Shaft of 21 and two heads of 6 that share the tip.
    InkCanvas arrow(40, 40);
    Shape2DArrow(0, 20, 20, 10, 0.0f, 1.0f).Draw(arrow.canvas, false, true);
    EXPECT_EQ(arrow.cells.InkCount(), 21 + 5 + 5);
    EXPECT_EQ(arrow.cells.At(25, 15), 1);

    // Four arms: horizontal, vertical and both diagonals, all through the centre.
    InkCanvas star(40, 40);
    Shape2DAsterisk(0, 20, 20, 10, 4, 0.0f, 1.0f).Draw(star.canvas, false, true);
    EXPECT_EQ(star.cells.At(20, 20), 1);
    EXPECT_EQ(star.cells.At(10, 20), 1);
    EXPECT_EQ(star.cells.At(20, 10), 1);
    EXPECT_EQ(star.cells.At(27, 27), 1);
}
