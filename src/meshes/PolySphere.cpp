#include "meshes/PolySphere.h"

#include "core/Maths.h"
#include "core/Random.h"

#include <cmath>
#include <numbers>

PolySphere::PolySphere(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                       ColorMaker* maker)
    : PolySphere(rng, resolution, randomOptions, context, maker, false) {}

PolySphere::PolySphere(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                       ColorMaker* maker, bool hemiSphere)
    : PolySolid(rng, resolution, randomOptions, context, maker), m_bHemiSphere(hemiSphere) {}

PolySolid::SurfacePoint PolySphere::PointAt(int i, int j) const {
    const double step = 2.0 * std::numbers::pi / m_Rows;
    const double theta = i * step;
    const double phi = j * step;
    const float st = static_cast<float>(maths::Sin(theta));
    const float ct = static_cast<float>(maths::Cos(theta));
    const float sp = static_cast<float>(maths::Sin(phi));
    const float cp = static_cast<float>(maths::Cos(phi));
    // The normal of the ellipsoid stretched by size along z.
    return {m_Radius * st * cp, m_Radius * st * sp, m_Radius * m_Size * ct,
            m_Size * st * cp,   m_Size * st * sp,   ct};
}

void PolySphere::Generate(UsesPoly& sink) {
    WalkGrid(sink, StartRow(), EndRow(), [this](int i, int j) { return PointAt(i, j); });
}

PolyRoundedBead::PolyRoundedBead(Random& rng, int resolution, bool, const MeshContext& context,
                                 ColorMaker* maker)
    : PolySphere(rng, resolution, true, context, maker) {
    m_Size = static_cast<float>(2.0 * rng.uniform() + 1.0);
}
