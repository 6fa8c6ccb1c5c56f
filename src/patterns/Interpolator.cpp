#include "patterns/Interpolator.h"

#include <algorithm>

std::unique_ptr<Interpolator> Interpolator::Create(int kind, const FloatArray& knots,
                                                   const FloatArray& values) {
    if (kind == 1)
        return std::make_unique<InterpSpline>(knots, values);
    return std::make_unique<InterpLinear>(knots, values);
}

void Interpolator::SetPoints(const FloatArray& knots, const FloatArray& values) {
    const std::size_t n = std::min(knots.size(), values.size());
    m_Knots.assign(knots.begin(), knots.begin() + static_cast<std::ptrdiff_t>(n));
    m_Values.assign(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n));
}

InterpLinear::InterpLinear(const FloatArray& knots, const FloatArray& values) {
    InterpLinear::SetPoints(knots, values);
}

void InterpLinear::SetPoints(const FloatArray& knots, const FloatArray& values) {
    Interpolator::SetPoints(knots, values);
    m_Cached = -1;
}

float InterpLinear::Segment(int i, float x) const {
    const float k0 = m_Knots[i - 1];
    const float k1 = m_Knots[i];
    if (k1 == k0)
        return (m_Values[i - 1] + m_Values[i]) / 2.0f;
    const float a = (k1 - x) / (k1 - k0);
    return (1.0f - a) * m_Values[i] + a * m_Values[i - 1];
}

float InterpLinear::Value(float x) {
    const int n = Count();
    if (n == 0)
        return 0.0f;
    // The cached segment is taken only where a fresh search would find it too: at a repeated
    // knot the search stops at the first of the equal knots.
    const int j = m_Cached;
    if (j > 0 && j < n && m_Knots[j - 1] < x && x <= m_Knots[j])
        return Segment(j, x);
    int i = 0;
    while (i < n && !(x <= m_Knots[i]))
        ++i;
    if (i == n) {
        m_Cached = -1;
        return m_Values[n - 1];
    }
    m_Cached = i;
    if (i == 0)
        return m_Values[0];
    return Segment(i, x);
}

InterpSpline::InterpSpline(const FloatArray& knots, const FloatArray& values) {
    InterpSpline::SetPoints(knots, values);
}

void InterpSpline::SetPoints(const FloatArray& knots, const FloatArray& values) {
    Interpolator::SetPoints(knots, values);
    ComputeCurvatures();
}

void InterpSpline::ComputeCurvatures() {
    const int n = Count();
    const auto size = static_cast<std::size_t>(n);
    m_Y2.assign(size, 0.0f);
    if (n < 3)
        return; // two knots: a straight line
    m_H.assign(size, 0.0f);
    m_D.assign(size, 0.0f);
    m_R.assign(size, 0.0f);
    const FloatArray& x = m_Knots;
    const FloatArray& y = m_Values;
    FloatArray& h = m_H;
    FloatArray& d = m_D;
    FloatArray& r = m_R;

    // Right-hand side: differences of neighbouring slopes; a zero-width segment has slope 0.
    h[0] = x[1] - x[0];
    if (h[0] != 0.0f)
        r[1] = (y[1] - y[0]) / h[0];
    for (int g = 1; g <= n - 2; ++g) {
        h[g] = x[g + 1] - x[g];
        d[g] = 2.0f * (x[g + 1] - x[g - 1]);
        if (h[g] != 0.0f)
            r[g + 1] = (y[g + 1] - y[g]) / h[g];
        r[g] = 6.0f * (r[g + 1] - r[g]);
    }
    // Forward elimination of the tridiagonal system.
    for (int g = 1; g <= n - 3; ++g) {
        if (d[g] != 0.0f) {
            r[g + 1] -= r[g] * h[g] / d[g];
            d[g + 1] -= h[g] * h[g] / d[g];
        } else {
            r[g + 1] = 0.0f;
            d[g + 1] = 0.0f;
        }
    }
    for (int g = n - 2; g >= 1; --g)
        m_Y2[g] = d[g] != 0.0f ? (r[g] - h[g] * m_Y2[g + 1]) / d[g] : 0.0f;
}

float InterpSpline::Value(float x) {
    const int n = Count();
    if (n < 2)
        return n == 1 ? m_Values[0] : 0.0f;
    // Bisection for knot[j] < x <= knot[j + 1]; beyond the ends j stays on the end segment.
    int lo = 0;
    int hi = n - 1;
    int j = hi / 2;
    while (lo + 1 < hi) {
        if (x > m_Knots[j]) {
            lo = j;
            j = hi;
        }
        hi = j;
        j = (lo + j) / 2;
    }
    const float w = m_Knots[j + 1] - m_Knots[j];
    const float t = w != 0.0f ? (x - m_Knots[j]) / w : 0.0f;
    const float y0 = m_Values[j];
    const float y1 = m_Values[j + 1];
    return t * (y1 - y0) + y0 +
           w * w * t * (t - 1.0f) / 6.0f * (m_Y2[j + 1] * (t + 1.0f) - m_Y2[j] * (t - 2.0f));
}
