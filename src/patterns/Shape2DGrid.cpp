#include "patterns/Shape2DGrid.h"

#include "core/DrawGate.h"
#include "core/Maths.h"
#include "patterns/Canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

Shape2DStrokes::Shape2DStrokes(int colour, int cx, int cy, int size, float angle, float capScale)
    : Shape2D(colour), m_CentreX(cx), m_CentreY(cy), m_Size(size), m_Angle(angle),
      m_CapScale(capScale) {}

void Shape2DStrokes::Draw(Canvas& canvas, bool, bool) {
    canvas.UseAltColor();
    if (m_bToggle)
        canvas.SetToggle(true);
    DrawStrokes(canvas);
    if (m_bToggle)
        canvas.SetToggle(false);
    canvas.RestoreColor();
}

void Shape2DStrokes::SetSize(int s) {
    if (m_Size != 0)
        m_Size = s;
}

void Shape2DStrokes::Scale(float f) {
    m_Size = Pixel(m_Size * static_cast<double>(f));
}

void Shape2DStrokes::Stroke(Canvas& canvas, double x0, double y0, double x1, double y1) const {
    Point a{Whole(x0), Whole(y0)};
    Point b{Whole(x1), Whole(y1)};
    RotatePoint(a, m_Angle);
    RotatePoint(b, m_Angle);
    DrawThickLine(canvas, Pixel(a.x), Pixel(a.y), Pixel(b.x), Pixel(b.y), m_CapScale);
}

Shape2DGrid::Shape2DGrid(int colour, int cx, int cy, int size, int nx, int ny, int start,
                         float capScale)
    : Shape2DStrokes(colour, cx, cy, size, 0.0f, capScale), m_Nx(nx), m_Ny(ny), m_Start(start) {}

void Shape2DGrid::DrawStrokes(Canvas& canvas) {
    const int width = m_LineWidth;
    const double left = static_cast<double>(m_CentreX) - m_Size;
    const double right = static_cast<double>(m_CentreX) + m_Size;
    const double top = static_cast<double>(m_CentreY) - m_Size;
    const double bottom = static_cast<double>(m_CentreY) + m_Size;
    const long long span = 2LL * m_Size;
    // Lines i = start .. n - start at cx - size + i * 2 size / n, the width limited to the
    // spacing; drawLine(offset) strokes one of them.
    const auto lines = [&](int n, auto drawLine) {
        if (n <= 0)
            return true;
        m_LineWidth = std::clamp<long long>(width, 1, std::max<long long>(span / n, 1));
        for (int i = m_Start; i <= n - m_Start; ++i) {
            drawLine(static_cast<double>(i * span / n));
            if (!CanGoOn(canvas.Gate()))
                return false;
        }
        return true;
    };
    const bool goOn = lines(
        m_Nx, [&](double offset) { Stroke(canvas, left, top + offset, right, top + offset); });
    if (goOn)
        lines(m_Ny,
              [&](double offset) { Stroke(canvas, left + offset, top, left + offset, bottom); });
    m_LineWidth = width;
}

Shape2DArrow::Shape2DArrow(int colour, int cx, int cy, int size, float angle, float capScale)
    : Shape2DStrokes(colour, cx, cy, size, angle, capScale) {}

void Shape2DArrow::DrawStrokes(Canvas& canvas) {
    const double cx = m_CentreX;
    const double cy = m_CentreY;
    const double half = m_Size / 2;
    Stroke(canvas, cx - m_Size, cy, cx + m_Size, cy);
    if (!CanGoOn(canvas.Gate()))
        return;
    Stroke(canvas, cx + half, cy - half, cx + m_Size, cy);
    if (!CanGoOn(canvas.Gate()))
        return;
    Stroke(canvas, cx + half, cy + half, cx + m_Size, cy);
}

Shape2DAsterisk::Shape2DAsterisk(int colour, int cx, int cy, int size, int arms, float angle,
                                 float capScale)
    : Shape2DStrokes(colour, cx, cy, size, angle, capScale), m_Arms(arms) {}

void Shape2DAsterisk::DrawStrokes(Canvas& canvas) {
    for (int k = 0; k < m_Arms; ++k) {
        const double a = std::numbers::pi * k / m_Arms;
        const double dx = m_Size * maths::Cos(a);
        const double dy = m_Size * maths::Sin(a);
        Stroke(canvas, m_CentreX + dx, m_CentreY + dy, m_CentreX - dx, m_CentreY - dy);
        if (!CanGoOn(canvas.Gate()))
            return;
    }
}
