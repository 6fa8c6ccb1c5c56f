#include "meshes/PolyCube.h"

#include "core/Random.h"

#include <algorithm>
#include <cmath>

PolyCube::PolyCube(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                   ColorMaker* maker)
    : PolySolid(rng, GridSize(resolution, randomOptions), randomOptions, context, maker) {
    if (!randomOptions) {
        m_Faces.fill(true);
        return;
    }
    for (const Face face : {kPlusY, kMinusY, kMinusX, kPlusX, kPlusZ})
        m_Faces[face] = rng.uniform() < 0.25;
    const bool allOthers = m_Faces[kPlusY] && m_Faces[kMinusY] && m_Faces[kMinusX] &&
                           m_Faces[kPlusX] && m_Faces[kPlusZ];
    // An open cube always keeps its bottom.
    m_Faces[kMinusZ] = rng.uniform() < 0.25 || !allOthers;
}

int PolyCube::GridSize(int resolution, bool randomOptions) {
    return randomOptions ? std::clamp(resolution / 2, 1, 32) : 1;
}

void PolyCube::Generate(UsesPoly& sink) {
    const float h = m_EdgeScale / std::sqrt(2.0f);
    const float rowStep = 2.0f * h / static_cast<float>(m_Rows);
    const float columnStep = 2.0f * h / static_cast<float>(m_Columns);
    while (m_Row < m_Rows) {
        if (!CanGoOn(Gate()))
            return;
        const int i = m_Row;
        const float a0 = static_cast<float>(i) * rowStep - h;
        const float a1 = a0 + rowStep;
        const float s0 = static_cast<float>(i) / static_cast<float>(m_Rows);
        const float s1 = static_cast<float>(i + 1) / static_cast<float>(m_Rows);
        for (int j = 0; j < m_Columns; ++j) {
            if (!CellAllowed(i, j))
                continue;
            const float b0 = static_cast<float>(j) * columnStep - h;
            const float b1 = b0 + columnStep;
            const float t0 = static_cast<float>(j) / static_cast<float>(m_Columns);
            const float t1 = static_cast<float>(j + 1) / static_cast<float>(m_Columns);
            for (int face = 0; face < kFaceCount; ++face) {
                if (!m_Faces[face])
                    continue;
                FaceFacet(static_cast<Face>(face), a0, a1, b0, b1, s0, s1, t0, t1);
                sink.AddFacet(m_Facet);
            }
        }
        ++m_Row;
    }
    m_bComplete = true;
}

void PolyCube::FaceFacet(Face face, float a0, float a1, float b0, float b1, float s0, float s1,
                         float t0, float t1) {
    const float h = m_EdgeScale / std::sqrt(2.0f);
    const auto vertex = [&](float a, float b, float s, float t) {
        switch (face) {
        case kMinusZ:
            return PolyVertex(a, b, -h, 0, 0, -1, s, t, m_pColorMaker);
        case kPlusY:
            return PolyVertex(a, h, b, 0, 1, 0, s, t, m_pColorMaker);
        case kMinusX:
            return PolyVertex(-h, a, b, -1, 0, 0, s, t, m_pColorMaker);
        case kPlusZ:
            return PolyVertex(a, b, h, 0, 0, 1, s, t, m_pColorMaker);
        case kMinusY:
            return PolyVertex(a, -h, b, 0, -1, 0, s, t, m_pColorMaker);
        default:
            return PolyVertex(h, a, b, 1, 0, 0, s, t, m_pColorMaker);
        }
    };
    m_Facet[0] = vertex(a0, b0, s0, t0);
    m_Facet[1] = vertex(a0, b1, s0, t1);
    m_Facet[2] = vertex(a1, b1, s1, t1);
    m_Facet[3] = vertex(a1, b0, s1, t0);
}
