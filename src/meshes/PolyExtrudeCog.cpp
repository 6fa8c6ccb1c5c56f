#include "meshes/PolyExtrudeCog.h"

#include "core/Random.h"

#include <algorithm>

PolyExtrudeCog::PolyExtrudeCog(Random& rng, int resolution, const MeshContext& context)
    : PolyExtrudeStar(rng, resolution, context) {
    m_Rows = std::clamp(4 * (m_Rows / 4), 12, 20);
    m_InnerRatio = static_cast<float>(rng.uniform());
}

float PolyExtrudeCog::VertexRadius(int vertex) const {
    return vertex % 4 < 2 ? 1.0f : m_InnerRatio;
}
