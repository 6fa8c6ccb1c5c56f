#include "meshes/PolySpherical.h"

#include "core/Maths.h"

#include <cmath>
#include <numbers>

PolySpherical::PolySpherical(Random& rng, int resolution, bool randomOptions,
                             const MeshContext& context, ColorMaker* maker)
    : PolySolid(rng, resolution, randomOptions, context, maker), m_Profiles(rng, context, false) {}

PolySolid::SurfacePoint PolySpherical::PointAt(int i, int j) const {
    const double theta = i * std::numbers::pi / m_Rows;
    const double phi = 2.0 * std::numbers::pi * j / m_Columns;
    const float st = static_cast<float>(maths::Sin(theta)),
                ct = static_cast<float>(maths::Cos(theta));
    const float sp = static_cast<float>(maths::Sin(phi)), cp = static_cast<float>(maths::Cos(phi));
    const float a = (m_Profiles.A(i) + 1.0f) / 4.0f;
    const float b = (m_Profiles.B(j) + 1.0f) / 4.0f;
    const float aSlope = m_Profiles.ASlope(i) / 8.0f;
    const float bSlope = m_Profiles.BSlope(j) / 8.0f;
    const float rho = a + b;
    const float ux = st * cp, uy = st * sp, uz = ct; // radial unit vector
    // Tangents around the axis (phi) and from pole to pole (theta); the normal is their
    // cross product.
    const float px = bSlope * ux - rho * st * sp, py = bSlope * uy + rho * st * cp,
                pz = bSlope * uz;
    const float tx = aSlope * ux + rho * ct * cp, ty = aSlope * uy + rho * ct * sp,
                tz = aSlope * uz - rho * st;
    return {rho * ux, rho * uy, rho * uz, py * tz - pz * ty, pz * tx - px * tz, px * ty - py * tx};
}

void PolySpherical::Generate(UsesPoly& sink) {
    m_Profiles.Sample(m_Rows, m_Columns);
    WalkGrid(sink, 0, m_Rows, [this](int i, int j) { return PointAt(i, j); });
}
