#include "meshes/PolyCylindrical.h"

#include "core/Maths.h"

#include <cmath>
#include <numbers>

PolyCylindrical::PolyCylindrical(Random& rng, int resolution, bool randomOptions,
                                 const MeshContext& context, ColorMaker* maker)
    : PolySolid(rng, resolution, randomOptions, context, maker), m_Profiles(rng, context, true) {}

PolySolid::SurfacePoint PolyCylindrical::PointAt(int i, int j) const {
    constexpr float c = 0.63661975f;
    const float z = 2.0f * static_cast<float>(i) / static_cast<float>(m_Rows) - 1.0f;
    const double phi = 2.0 * std::numbers::pi * j / m_Columns;
    const float cp = static_cast<float>(maths::Cos(phi));
    const float sp = static_cast<float>(maths::Sin(phi));
    const float a = (m_Profiles.A(i) + 1.0f) / 4.0f;
    const float b = (m_Profiles.B(j) + 1.0f) / 4.0f;
    const float aSlope = m_Profiles.ASlope(i) / 8.0f;
    const float bSlope = m_Profiles.BSlope(j) / 8.0f;
    const float rho = a + b;
    // Tangents around (phi) and along (z) the tube; the normal is their cross product.
    const float px = -rho * sp + bSlope * cp, py = rho * cp + bSlope * sp;
    const float zx = aSlope * cp, zy = aSlope * sp, zz = c;
    return {rho * cp, rho * sp, z, py * zz, -px * zz, px * zy - py * zx};
}

void PolyCylindrical::Generate(UsesPoly& sink) {
    m_Profiles.Sample(m_Rows, m_Columns);
    WalkGrid(sink, 0, m_Rows, [this](int i, int j) { return PointAt(i, j); });
}
