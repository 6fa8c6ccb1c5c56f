#include "meshes/PolyCartesian.h"

#include <numbers>

PolyCartesian::PolyCartesian(Random& rng, int resolution, bool randomOptions,
                             const MeshContext& context, ColorMaker* maker)
    : PolySolid(rng, resolution, randomOptions, context, maker), m_Profiles(rng, context, false) {}

PolySolid::SurfacePoint PolyCartesian::PointAt(int i, int j) const {
    const float e = 2.0f * 1.0f / std::numbers::pi_v<float>;
    const float x = (2.0f * static_cast<float>(i) / static_cast<float>(m_Rows) - 1.0f) * m_ExtentX;
    const float y =
        (2.0f * static_cast<float>(j) / static_cast<float>(m_Columns) - 1.0f) * m_ExtentY;
    const float z = (m_Profiles.A(i) + m_Profiles.B(j) + 2.0f) / 4.0f;
    const float aSlope = m_Profiles.ASlope(i) / 2.0f;
    const float bSlope = m_Profiles.BSlope(j) / 2.0f;
    return {x, y, z, e * aSlope, e * bSlope, -e * e};
}

void PolyCartesian::Generate(UsesPoly& sink) {
    m_Profiles.Sample(m_Rows, m_Columns);
    WalkGrid(sink, 0, m_Rows, [this](int i, int j) { return PointAt(i, j); });
}
