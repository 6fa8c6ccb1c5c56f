#include "patterns/Shape2DPoly.h"

#include "core/DrawGate.h"
#include "core/Maths.h"
#include "patterns/Canvas.h"

#include <algorithm>
#include <cmath>

namespace {

long long FloorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// A non-horizontal polygon edge, active on the rows [yTop, yEnd). Its crossing with the
// current row is x + err / dy exactly, 0 <= err < dy.
struct Edge {
    long long yTop;
    long long yEnd;
    long long xTop;
    long long dx;
    long long dy;
    long long x = 0;
    long long err = 0;

    void MoveTo(long long y) {
        const long long t = (y - yTop) * dx;
        const long long q = FloorDiv(t, dy);
        x = xTop + q;
        err = t - q * dy;
    }
    void Advance() {
        const long long stepInt = FloorDiv(dx, dy);
        x += stepInt;
        err += dx - stepInt * dy;
        if (err >= dy) {
            err -= dy;
            ++x;
        }
    }
    // The first pixel at or right of the crossing (pixel centres at whole x).
    long long FirstRight() const { return 2 * err >= dy ? x + 1 : x; }
    // The last pixel left of the crossing.
    long long LastLeft() const { return 2 * err >= dy ? x : x - 1; }
    bool LeftOf(const Edge& o) const { return x != o.x ? x < o.x : err * o.dy < o.err * dy; }
};

} // namespace

Shape2DPoly::Shape2DPoly(int colour, int cx, int cy, int size)
    : Shape2D(colour), m_CentreX(cx), m_CentreY(cy), m_Size(size) {}

void Shape2DPoly::AddPoint(double x, double y, float angle) {
    Point p{Whole(x), Whole(y)};
    RotatePoint(p, angle);
    m_Points.push_back(p);
}

void Shape2DPoly::Draw(Canvas& canvas, bool filled, bool closed) {
    if (m_bToggle)
        canvas.SetToggle(true);
    if (filled || m_bFilled) {
        Fill(canvas);
    } else {
        bool goOn = true;
        for (std::size_t i = 1; i < m_Points.size() && goOn; ++i) {
            DrawSegment(canvas, m_Points[i - 1], m_Points[i]);
            goOn = CanGoOn(canvas.Gate());
        }
        if (goOn && closed && m_Points.size() > 1 && !(m_Points.back() == m_Points.front())) {
            DrawSegment(canvas, m_Points.back(), m_Points.front());
        }
    }
    if (m_bToggle)
        canvas.SetToggle(false);
}

void Shape2DPoly::DrawOpen(Canvas& canvas, int maxWidth) {
    canvas.UseAltColor();
    const int width = m_LineWidth;
    m_LineWidth = std::max(1, std::min(m_LineWidth, maxWidth));
    Shape2DPoly::Draw(canvas, false, false);
    m_LineWidth = width;
    canvas.RestoreColor();
}

void Shape2DPoly::SetSize(int s) {
    if (m_Size == 0)
        return;
    const double factor = static_cast<double>(s) / m_Size;
    for (Point& p : m_Points) {
        const double dx = static_cast<double>(p.x) - m_CentreX;
        const double dy = static_cast<double>(p.y) - m_CentreY;
        const double r = maths::Hypot(dx, dy) * factor;
        const double a = maths::Atan2(dy, dx);
        p.x = Whole(m_CentreX + std::trunc(r * maths::Cos(a)));
        p.y = Whole(m_CentreY + std::trunc(r * maths::Sin(a)));
    }
    m_Size = s;
}

void Shape2DPoly::Scale(float f) {
    for (Point& p : m_Points) {
        p.x = Whole(m_CentreX + std::trunc((static_cast<double>(p.x) - m_CentreX) * f));
        p.y = Whole(m_CentreY + std::trunc((static_cast<double>(p.y) - m_CentreY) * f));
    }
}

void Shape2DPoly::Fill(Canvas& canvas) const {
    const std::size_t n = m_Points.size();
    if (n < 3)
        return;
    std::vector<Edge> table;
    table.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        Point a = m_Points[i];
        Point b = m_Points[(i + 1) % n];
        if (Pixel(a.y) == Pixel(b.y))
            continue;
        if (a.y > b.y)
            std::swap(a, b);
        table.push_back({Pixel(a.y), Pixel(b.y), Pixel(a.x),
                         static_cast<long long>(Pixel(b.x)) - Pixel(a.x),
                         static_cast<long long>(Pixel(b.y)) - Pixel(a.y)});
    }
    if (table.empty())
        return;
    std::sort(table.begin(), table.end(), [](const Edge& a, const Edge& b) {
        return a.yTop != b.yTop ? a.yTop < b.yTop : a.xTop < b.xTop;
    });

    const long long margin = Margin(canvas);
    const long long yLast = std::min(std::max_element(
                                         table.begin(), table.end(),
                                         [](const Edge& a, const Edge& b) {
                                             return a.yEnd < b.yEnd;
                                         })->yEnd -
                                         1,
                                     canvas.Height() + margin);
    long long y = std::max(table.front().yTop, -margin);

    std::vector<Edge> active;
    std::size_t next = 0;
    for (; y <= yLast; ++y) {
        for (; next < table.size() && table[next].yTop <= y; ++next) {
            if (table[next].yEnd <= y)
                continue; // ended above the first row drawn
            active.push_back(table[next]);
            active.back().MoveTo(y);
        }
        std::sort(active.begin(), active.end(),
                  [](const Edge& a, const Edge& b) { return a.LeftOf(b); });
        for (std::size_t i = 0; i + 1 < active.size(); i += 2) {
            const long long from = std::max(active[i].FirstRight(), -margin);
            const long long to = std::min(active[i + 1].LastLeft(), canvas.Width() + margin);
            if (from <= to)
                DrawLine(canvas, static_cast<int>(from), static_cast<int>(y), static_cast<int>(to),
                         static_cast<int>(y));
        }
        std::erase_if(active, [y](const Edge& e) { return e.yEnd <= y + 1; });
        for (Edge& e : active)
            e.Advance();
        if (!CanGoOn(canvas.Gate()))
            return;
    }
}
