#include "patterns/Shape2DEllipse.h"

#include "core/Maths.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double Theta(int i, int n) {
    return 2 * std::numbers::pi * i / n;
}

} // namespace

Shape2DEllipse::Shape2DEllipse(int colour, int cx, int cy, int rx, int ry, float angle, int n)
    : Shape2DEllipse(colour, cx, cy, rx, ry, angle, n, Wobble{}) {}

Shape2DEllipse::Shape2DEllipse(int colour, int cx, int cy, int rx, int ry, float angle, int n,
                               const Wobble& wobble)
    : Shape2DPoly(colour, cx, cy, std::max(rx, ry)) {
    m_Points.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        const double t = Theta(i, n);
        AddPoint(cx + rx * (maths::Cos(t) + wobble.a1 * maths::Cos(wobble.k1 * t)),
                 cy + ry * (maths::Sin(t) + wobble.a2 * maths::Sin(wobble.k2 * t)), angle);
    }
}

Shape2DCircle::Shape2DCircle(int colour, int cx, int cy, int radius)
    : Shape2DEllipse(colour, cx, cy, radius, radius, 0.0f) {}

Shape2DAmoeba::Shape2DAmoeba(int colour, int cx, int cy, int rx, int ry, float angle,
                             const Wobble& wobble)
    : Shape2DEllipse(colour, cx, cy, rx, ry, angle, 200, wobble) {}

Shape2DCrescent::Shape2DCrescent(int colour, int cx, int cy, int rx, int ry, float angle, int n)
    : Shape2DPoly(colour, cx, cy, std::max(rx, ry)) {
    for (int i = 0; i < n; ++i) {
        const double t = Theta(i, n);
        const double y = i < n / 2 ? cy + ry * maths::Sin(t) : cy - (ry / 2.0) * maths::Sin(t);
        AddPoint(cx + rx * maths::Cos(t), y, angle);
    }
}

Shape2DBead::Shape2DBead(int colour, int cx, int cy, int rx, int ry, float angle, int n)
    : Shape2DPoly(colour, cx, cy, std::max(rx, ry)) {
    const int h = std::min(rx, ry) / 2;
    const auto band = [&](int i) { return Pixel(ry * maths::Sin(Theta(i, n)) - h); };
    for (int i = 0; i < n / 2; ++i) {
        const int t = band(i);
        if (t >= 0)
            AddPoint(cx + rx * maths::Cos(Theta(i, n)), static_cast<double>(cy) + t, angle);
    }
    for (int j = 0; j < n / 2; ++j) {
        const int t = band(j);
        if (t >= 0)
            AddPoint(cx + rx * maths::Cos(Theta(n / 2 + j, n)), static_cast<double>(cy) - t, angle);
    }
}
