#include "meshes/PolyBead.h"

#include "core/Maths.h"
#include "core/Random.h"

#include <cmath>
#include <numbers>

namespace {

float DrawHalfLength(Random& rng, int resolution) {
    if (resolution <= 0)
        return 1.0f;
    const double u1 = rng.uniform();
    const double u2 = rng.uniform();
    const double u3 = rng.uniform();
    return static_cast<float>(1.0 + u1 + u2 + u3);
}

float DrawGirth(Random& rng) {
    const double u4 = rng.uniform();
    const double u5 = rng.uniform();
    return static_cast<float>(u4 * 1.5 * u5 + 0.1);
}

} // namespace

PolyBead::PolyBead(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                   ColorMaker* maker)
    : PolySolid(rng, resolution, randomOptions, context, maker),
      m_HalfLength(DrawHalfLength(rng, resolution)), m_Girth(DrawGirth(rng)) {}

PolySolid::SurfacePoint PolyBead::PointAt(int i, int j) const {
    const float k = static_cast<float>(m_HalfLength * 0.6366197723675814); // 2 L / pi
    const float z =
        (2.0f * static_cast<float>(i) / static_cast<float>(m_Rows) - 1.0f) * m_HalfLength;
    const double alpha = i * std::numbers::pi / m_Rows;
    const double phi = 2.0 * std::numbers::pi * j / m_Columns;
    const float cp = static_cast<float>(maths::Cos(phi));
    const float sp = static_cast<float>(maths::Sin(phi));
    const float rho = m_Girth * static_cast<float>(maths::Sin(alpha));
    const float nz = -m_Girth * static_cast<float>(maths::Cos(alpha));
    return {rho * cp, rho * sp, z, k * cp, k * sp, nz};
}

void PolyBead::Generate(UsesPoly& sink) {
    WalkGrid(sink, 0, m_Rows, [this](int i, int j) { return PointAt(i, j); });
}
