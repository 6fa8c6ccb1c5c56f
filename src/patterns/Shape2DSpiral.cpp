#include "patterns/Shape2DSpiral.h"

#include "core/Maths.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

// The line width limit of the wavy line and the zig-zag: L / (2 waves), at most L.
int WaveWidthLimit(int extent, int waves) {
    return std::min(extent / (2 * std::max(waves, 1)), extent);
}

} // namespace

Shape2DSpiral::Shape2DSpiral(int colour, int cx, int cy, int size, int step, float angle)
    : Shape2DPoly(colour, cx, cy, size), m_Step(std::max(step, 1)) {
    long long i = 0;
    for (long long r = 0; r <= size; r += m_Step, ++i) {
        const double a = static_cast<double>(i) * kTurn;
        AddPoint(cx + r * maths::Cos(a), cy + r * maths::Sin(a), angle);
    }
}

void Shape2DSpiral::Draw(Canvas& canvas, bool, bool) {
    DrawOpen(canvas, static_cast<int>(std::min<long long>(m_Step * 100LL / 8, INT_MAX)));
}

Shape2DWavyLine::Shape2DWavyLine(int colour, int cx, int cy, int size, int extent, int waves,
                                 float phase, float angle)
    : Shape2DPoly(colour, cx, cy, size), m_Extent(extent), m_Waves(waves) {
    const double length = extent;
    for (int i = 0; i <= 50; ++i) {
        const double x = -length / 2 + i * (length / 50);
        // An extent of 0 leaves every point at the centre.
        const double y =
            extent == 0 ? 0.0
                        : length * maths::Sin(x * waves * 2 * std::numbers::pi / length + phase);
        AddPoint(cx + x, cy + y, angle);
    }
}

void Shape2DWavyLine::Draw(Canvas& canvas, bool, bool) {
    DrawOpen(canvas, WaveWidthLimit(m_Extent, m_Waves));
}

Shape2DZigZag::Shape2DZigZag(int colour, int cx, int cy, int size, int extent, int teeth,
                             float angle)
    : Shape2DPoly(colour, cx, cy, size), m_Extent(extent), m_Teeth(std::max(teeth, 1)) {
    const double length = extent;
    const int points = 4 * m_Teeth + 1;
    static constexpr int kRise[4] = {0, 1, 0, -1};
    for (int i = 0; i < points; ++i) {
        const double x = -length / 2 + i * (length / (4 * m_Teeth));
        AddPoint(cx + x, cy + length * kRise[i % 4], angle);
    }
}

void Shape2DZigZag::Draw(Canvas& canvas, bool, bool) {
    DrawOpen(canvas, WaveWidthLimit(m_Extent, m_Teeth));
}
