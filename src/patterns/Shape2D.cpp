#include "patterns/Shape2D.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "patterns/Canvas.h"
#include "patterns/Shape2DAngle.h"
#include "patterns/Shape2DEllipse.h"
#include "patterns/Shape2DGrid.h"
#include "patterns/Shape2DSpiral.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// What a figure's constructor may draw from, in the order its kind needs.
struct FigureArgs {
    Random& rng;
    int colour;
    int cx;
    int cy;
    int size;
    int limit; // M, the bound of the second radius
    float angle;
};

// The second radius of the figures that have one, drawn after the kind.
int SecondRadius(const FigureArgs& a) {
    return Shape2D::Pixel(a.rng.uniform() * a.limit + 1);
}

// The strokes' cap scale: 1, or 2..4.
float CapScale(Random& rng) {
    if (rng.flip() == 1)
        return 1.0f;
    return static_cast<float>(2 * rng.uniform() + 2);
}

// Extent and amplitude of the wavy line and the zig-zag.
int Extent(const FigureArgs& a) {
    return a.size / (a.rng.skewed(10, 5) + 1);
}

using Figure = std::unique_ptr<Shape2D>;

// The figure kinds: kind, weight in line drawings, constructor with its own draws.
struct Kind {
    int kind;
    float lineDrawingWeight;
    Figure (*make)(const FigureArgs&);
};

const Kind kKinds[Shape2D::kKindCount] = {
    {0, 100,
     [](const FigureArgs& a) -> Figure {
         return std::make_unique<Shape2DCircle>(a.colour, a.cx, a.cy, a.size);
     }},
    {1, 20,
     [](const FigureArgs& a) -> Figure {
         return std::make_unique<Shape2DSquare>(a.colour, a.cx, a.cy, a.size, a.angle);
     }},
    {2, 10,
     [](const FigureArgs& a) -> Figure {
         const int r2 = SecondRadius(a);
         const int tips = a.rng.below(50) + 3;
         return std::make_unique<Shape2DStar>(a.colour, a.cx, a.cy, a.size, r2, tips);
     }},
    {3, 10,
     [](const FigureArgs& a) -> Figure {
         return std::make_unique<Shape2DCrescent>(a.colour, a.cx, a.cy, a.size, SecondRadius(a),
                                                  a.angle);
     }},
    {4, 20,
     [](const FigureArgs& a) -> Figure {
         return std::make_unique<Shape2DEllipse>(a.colour, a.cx, a.cy, a.size, SecondRadius(a),
                                                 a.angle);
     }},
    {5, 15,
     [](const FigureArgs& a) -> Figure {
         return std::make_unique<Shape2DBead>(a.colour, a.cx, a.cy, a.size, SecondRadius(a),
                                              a.angle);
     }},
    {6, 20,
     [](const FigureArgs& a) -> Figure {
         return std::make_unique<Shape2DRectangle>(a.colour, a.cx, a.cy, a.size, SecondRadius(a),
                                                   a.angle, false, true, false);
     }},
    {7, 20,
     [](const FigureArgs& a) -> Figure {
         return std::make_unique<Shape2DTriangle>(a.colour, a.cx, a.cy, a.size, SecondRadius(a),
                                                  a.angle);
     }},
    {8, 10,
     [](const FigureArgs& a) -> Figure {
         const double u1 = a.rng.uniform();
         const double u2 = a.rng.uniform();
         const int step = std::max(8, Shape2D::Pixel((1 - u2) * ((1 - u1) * (a.size / 40))));
         return std::make_unique<Shape2DSpiral>(a.colour, a.cx, a.cy, a.size, step, a.angle);
     }},
    {9, 10,
     [](const FigureArgs& a) -> Figure {
         const int extent = Extent(a);
         const int waves = a.rng.below(10) + 1;
         const auto phase = static_cast<float>(a.rng.symmetric() * kPi);
         return std::make_unique<Shape2DWavyLine>(a.colour, a.cx, a.cy, a.size, extent, waves,
                                                  phase, a.angle);
     }},
    {10, 10,
     [](const FigureArgs& a) -> Figure {
         int nx = a.rng.below(8) + 3;
         int ny = a.rng.below(8) + 3;
         if (a.rng.flip() == 1) {
             if (a.rng.flip() == 1)
                 nx = 0;
             else
                 ny = 0;
         }
         const int start = a.rng.below(2);
         const float capScale = CapScale(a.rng);
         return std::make_unique<Shape2DGrid>(a.colour, a.cx, a.cy, a.size, nx, ny, start,
                                              capScale);
     }},
    {11, 10,
     [](const FigureArgs& a) -> Figure {
         return std::make_unique<Shape2DArrow>(a.colour, a.cx, a.cy, a.size, a.angle,
                                               CapScale(a.rng));
     }},
    {12, 10,
     [](const FigureArgs& a) -> Figure {
         const int arms = a.rng.below(8) + 1;
         return std::make_unique<Shape2DAsterisk>(a.colour, a.cx, a.cy, a.size, arms, a.angle,
                                                  CapScale(a.rng));
     }},
    {13, 10,
     [](const FigureArgs& a) -> Figure {
         const int extent = Extent(a);
         const int teeth = a.rng.below(10) + 1;
         return std::make_unique<Shape2DZigZag>(a.colour, a.cx, a.cy, a.size, extent, teeth,
                                                a.angle);
     }},
    {14, 40,
     [](const FigureArgs& a) -> Figure {
         const int r2 = SecondRadius(a);
         Shape2DEllipse::Wobble wobble;
         wobble.a1 = static_cast<float>(0.2 * a.rng.uniform());
         wobble.a2 = static_cast<float>(0.2 * a.rng.uniform());
         wobble.k1 = a.rng.below(4) + 1;
         wobble.k2 = a.rng.below(4) + 1;
         return std::make_unique<Shape2DAmoeba>(a.colour, a.cx, a.cy, a.size, r2, a.angle, wobble);
     }},
    {15, 10,
     [](const FigureArgs& a) -> Figure {
         const int notchX =
             Shape2D::Pixel(static_cast<double>(a.cx) + a.rng.below(a.size) - a.size);
         return std::make_unique<Shape2DBullet>(a.colour, a.cx, a.cy, a.size, notchX, a.angle);
     }},
};

int Pinned(int v) {
    return std::clamp(v, -Shape2D::kCoordLimit, Shape2D::kCoordLimit);
}

// A line with an end beyond the canvas's margin is cut to the part inside it (Liang-Barsky),
// so an absurd line costs no more than the margin; false when nothing of it is left. Lines
// with both ends inside are left exactly as they are.
bool ClipToMargin(const Canvas& canvas, int& x0, int& y0, int& x1, int& y1) {
    const double m = static_cast<double>(Shape2D::Margin(canvas));
    const double lo[2] = {-m, -m};
    const double hi[2] = {canvas.Width() + m, canvas.Height() + m};
    const double p0[2] = {static_cast<double>(x0), static_cast<double>(y0)};
    const double p1[2] = {static_cast<double>(x1), static_cast<double>(y1)};
    const auto inside = [&](const double* p) {
        return p[0] >= lo[0] && p[0] <= hi[0] && p[1] >= lo[1] && p[1] <= hi[1];
    };
    if (inside(p0) && inside(p1))
        return true;
    double t0 = 0.0;
    double t1 = 1.0;
    for (int axis = 0; axis < 2; ++axis) {
        const double d = p1[axis] - p0[axis];
        for (const auto& [p, q] :
             {std::pair{-d, p0[axis] - lo[axis]}, std::pair{d, hi[axis] - p0[axis]}}) {
            if (p == 0.0) {
                if (q < 0.0)
                    return false;
                continue;
            }
            const double t = q / p;
            if (p < 0.0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
        }
    }
    if (t0 > t1)
        return false;
    const auto at = [&](double t, int axis) {
        return static_cast<int>(std::lround(p0[axis] + t * (p1[axis] - p0[axis])));
    };
    x0 = at(t0, 0);
    y0 = at(t0, 1);
    x1 = at(t1, 0);
    y1 = at(t1, 1);
    return true;
}

} // namespace

float Shape2D::Whole(double v) {
    if (std::isnan(v))
        return 0.0f;
    v = std::clamp(v, -static_cast<double>(kCoordLimit), static_cast<double>(kCoordLimit));
    return static_cast<float>(std::trunc(v));
}

FloatArray Shape2D::LineDrawingWeights() {
    FloatArray weights;
    for (const Kind& k : kKinds)
        weights.push_back(k.lineDrawingWeight);
    return weights;
}

std::unique_ptr<Shape2D> Shape2D::Create(Random& rng, const Canvas& canvas,
                                         const WeightedChoice& kinds, int colour, bool half, int cx,
                                         int cy, int size, float angle) {
    const int d = half ? 2 : 1;
    if (cx == kRandom)
        cx = rng.below(canvas.Width() / d);
    if (cy == kRandom)
        cy = rng.below(canvas.Height() / d);
    const int limit = size != kRandom ? size : std::max(canvas.Width(), canvas.Height()) / 2 / d;
    if (size == kRandom)
        size = rng.below(limit) + 1;
    if (angle == kRandomAngle)
        angle = static_cast<float>(rng.symmetric() * kPi);
    const int kind = kinds.choose(rng, nullptr, 10);
    const FigureArgs args{rng, colour, Pinned(cx), Pinned(cy), Pinned(size), Pinned(limit), angle};
    for (const Kind& k : kKinds) {
        if (k.kind == kind)
            return k.make(args);
    }
    return kKinds[1].make(args);
}

void Shape2D::KeepApart(Shape2D& other) {
    if (!m_bKeepApart || !other.m_bKeepApart)
        return;
    const double dx = static_cast<double>(CentreX()) - other.CentreX();
    const double dy = static_cast<double>(CentreY()) - other.CentreY();
    const int d = Pixel(maths::Hypot(dx, dy));
    if (static_cast<long long>(d) >= static_cast<long long>(Radius()) + other.Radius())
        return;
    Shape2D& a = Size() > other.Size() ? *this : other;
    Shape2D& b = &a == this ? other : *this;
    if (a.Radius() < d)
        b.SetSize(d - a.Radius());
    else if (b.Radius() < d)
        a.SetSize(d - b.Radius());
    else {
        const int both = Pixel(d / Aspect() / 2);
        a.SetSize(both);
        b.SetSize(both);
    }
}

void Shape2D::RotatePoint(Point& p, float angle) const {
    const double dx = static_cast<double>(p.x) - CentreX();
    const double dy = static_cast<double>(p.y) - CentreY();
    // A turn by 0 is exact; the polar round trip could lose a pixel to truncation.
    if ((dx == 0 && dy == 0) || angle == 0.0f)
        return;
    const double r = maths::Hypot(dx, dy);
    const double a = maths::Atan2(dy, dx) + angle;
    p.x = Whole(CentreX() + std::trunc(r * maths::Cos(a)));
    p.y = Whole(CentreY() + std::trunc(r * maths::Sin(a)));
}

long long Shape2D::Margin(const Canvas& canvas) {
    // Jitter moves a point by one and mirroring reflects [0, size] onto itself, so a margin
    // of one would do; this one also keeps every jitter draw of figures that stick out.
    return 4LL * std::max(canvas.Width(), canvas.Height()) + 64;
}

void Shape2D::DrawLine(Canvas& canvas, int x0, int y0, int x1, int y1) const {
    canvas.SetTrueColor(m_Colour);
    x0 = Pinned(x0);
    y0 = Pinned(y0);
    x1 = Pinned(x1);
    y1 = Pinned(y1);
    if (!ClipToMargin(canvas, x0, y0, x1, y1))
        return;
    if (y0 == y1) {
        const int step = x0 <= x1 ? 1 : -1;
        for (int x = x0;; x += step) {
            canvas.Plot(x, y0);
            if (x == x1)
                break;
        }
        return;
    }
    if (x0 == x1) {
        const int step = y0 <= y1 ? 1 : -1;
        for (int y = y0;; y += step) {
            canvas.Plot(x0, y);
            if (y == y1)
                break;
        }
        return;
    }
    // Bresenham over all octants, from (x0, y0) to (x1, y1).
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (int x = x0, y = y0;;) {
        canvas.Plot(x, y);
        if (x == x1 && y == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void Shape2D::DrawThickLine(Canvas& canvas, int x0, int y0, int x1, int y1, float capScale) const {
    if (m_LineWidth < 2) {
        DrawLine(canvas, x0, y0, x1, y1);
        return;
    }
    x0 = Pinned(x0);
    y0 = Pinned(y0);
    x1 = Pinned(x1);
    y1 = Pinned(y1);
    const double dx = static_cast<double>(x1) - x0;
    const double dy = static_cast<double>(y1) - y0;
    const int len = Pixel(maths::Hypot(dx, dy));
    if (len == 0)
        return;
    const int halfWidth = std::min(m_LineWidth / 2, kCoordLimit);
    Shape2DRectangle body(m_Colour, (x0 + x1) / 2, (y0 + y1) / 2, len / 2, halfWidth,
                          static_cast<float>(maths::Atan2(dy, dx)), true, false, false);
    body.Draw(canvas, true, true);
    const int capRadius = Pixel(static_cast<double>(m_LineWidth) / 2 * capScale);
    const auto wellInside = [&](int x, int y) {
        return x > halfWidth && x < canvas.Width() - 1 - halfWidth && y > halfWidth &&
               y < canvas.Height() - 1 - halfWidth;
    };
    for (const auto& [x, y] : {std::pair{x0, y0}, std::pair{x1, y1}}) {
        if (!wellInside(x, y))
            continue;
        Shape2DCircle cap(m_Colour, x, y, capRadius);
        cap.Draw(canvas, true, true);
    }
}

void Shape2D::DrawSegment(Canvas& canvas, const Point& a, const Point& b) const {
    if (m_LineWidth < 2)
        DrawLine(canvas, Pixel(a.x), Pixel(a.y), Pixel(b.x), Pixel(b.y));
    else
        DrawThickLine(canvas, Pixel(a.x), Pixel(a.y), Pixel(b.x), Pixel(b.y), 1.0f);
}
