#include "patterns/Shape2DAngle.h"

#include "core/Maths.h"

#include <algorithm>
#include <cmath>
#include <numbers>

Shape2DAngle::Shape2DAngle(int colour, int cx, int cy, int rx, int ry, int n, float angle)
    : Shape2DPoly(colour, cx, cy, std::max(rx, ry)) {
    for (int i = 0; i < n; ++i) {
        const double t = 2 * std::numbers::pi * i / n;
        AddPoint(cx + rx * maths::Cos(t), cy + ry * maths::Sin(t), angle);
    }
}

Shape2DTriangle::Shape2DTriangle(int colour, int cx, int cy, int rx, int ry, float angle)
    : Shape2DAngle(colour, cx, cy, rx, ry, 3, angle) {}

Shape2DStar::Shape2DStar(int colour, int cx, int cy, int r1, int r2, int n)
    : Shape2DPoly(colour, cx, cy, std::max(r1, r2)) {
    const int points = 2 * n;
    for (int i = 0; i < points; ++i) {
        const double t = 2 * std::numbers::pi * i / points;
        const int r = i % 2 == 0 ? r1 : r2;
        AddPoint(cx + r * maths::Cos(t), cy + r * maths::Sin(t));
    }
}

Shape2DRectangle::Shape2DRectangle(int colour, int cx, int cy, int w, int h, float angle,
                                   bool filled, bool keepApart, bool toggle)
    : Shape2DPoly(colour, cx, cy, std::max(w, h)) {
    m_bFilled = filled;
    m_bKeepApart = keepApart;
    m_bToggle = toggle;
    const double x = cx;
    const double y = cy;
    AddPoint(x - w, y - h, angle);
    AddPoint(x + w, y - h, angle);
    AddPoint(x + w, y + h, angle);
    AddPoint(x - w, y + h, angle);
}

Shape2DSquare::Shape2DSquare(int colour, int cx, int cy, int halfSide, float angle)
    : Shape2DRectangle(colour, cx, cy, halfSide, halfSide, angle) {}

Shape2DBullet::Shape2DBullet(int colour, int cx, int cy, int s, int notchX, float angle)
    : Shape2DPoly(colour, cx, cy, s) {
    const double x = cx;
    const double y = cy;
    AddPoint(x + s, y, angle);
    AddPoint(x - s, y - s, angle);
    AddPoint(notchX, y, angle);
    AddPoint(x - s, y + s, angle);
}
