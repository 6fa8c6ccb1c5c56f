#include "meshes/PolyPawn.h"

#include "core/Maths.h"
#include "core/Random.h"

#include <cmath>
#include <numbers>

namespace {

PolyPawn::Wave DrawWave(Random& rng) {
    const float amplitude = static_cast<float>((1.0 - rng.uniform()) * 0.5);
    const float frequency = static_cast<float>(rng.uniform() * 5.0);
    const float phase = static_cast<float>(rng.symmetric() * std::numbers::pi);
    return {amplitude, frequency, phase};
}

} // namespace

PolyPawn::PolyPawn(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                   ColorMaker* maker)
    : PolySolid(rng, resolution, randomOptions, context, maker), m_Wave1(DrawWave(rng)),
      m_Wave2(DrawWave(rng)) {}

float PolyPawn::ProfileRadius(float alpha) const {
    return (m_Wave1.amplitude * maths::Sin(alpha * m_Wave1.frequency + m_Wave1.phase) +
            m_Wave2.amplitude * maths::Sin(alpha * m_Wave2.frequency + m_Wave2.phase) + 1.0f) /
           2.0f;
}

float PolyPawn::ProfileSlope(float alpha) const {
    return (m_Wave1.amplitude * m_Wave1.frequency *
                maths::Cos(alpha * m_Wave1.frequency + m_Wave1.phase) +
            m_Wave2.amplitude * m_Wave2.frequency *
                maths::Cos(alpha * m_Wave2.frequency + m_Wave2.phase)) /
           2.0f;
}

PolySolid::SurfacePoint PolyPawn::PointAt(int i, int j) const {
    constexpr float c = 0.63661975f; // 2 / pi: dz / dalpha
    const float z = 2.0f * static_cast<float>(i) / static_cast<float>(m_Rows) - 1.0f;
    const float alpha = static_cast<float>(i * std::numbers::pi / m_Rows);
    const double phi = 2.0 * std::numbers::pi * j / m_Columns;
    const float cp = static_cast<float>(maths::Cos(phi));
    const float sp = static_cast<float>(maths::Sin(phi));
    const float r = ProfileRadius(alpha);
    const float slope = ProfileSlope(alpha);
    return {r * cp, r * sp, z, r * c * cp, r * c * sp, -r * slope / 2.0f};
}

void PolyPawn::Generate(UsesPoly& sink) {
    WalkGrid(sink, 0, m_Rows, [this](int i, int j) { return PointAt(i, j); });
}
