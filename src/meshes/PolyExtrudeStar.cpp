#include "meshes/PolyExtrudeStar.h"

#include "core/Random.h"

#include <algorithm>

PolyExtrudeStar::PolyExtrudeStar(Random& rng, int resolution, const MeshContext& context)
    : PolyExtrudePoly(rng, resolution, 0.0f, 0.0f, 0.0f, true, true, true, context) {
    m_Rows = std::clamp(2 * (m_Rows / 2), 8, 20);
    m_InnerRatio = static_cast<float>(rng.uniform());
}

float PolyExtrudeStar::VertexRadius(int vertex) const {
    return vertex % 2 == 0 ? 1.0f : m_InnerRatio;
}
