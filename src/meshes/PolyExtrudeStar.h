#pragma once

#include "meshes/PolyExtrudePoly.h"

// A star of 8 to 20 sides (even) whose odd vertices lie at the inner ratio k in [0, 1).
class PolyExtrudeStar : public PolyExtrudePoly {
public:
    PolyExtrudeStar(Random& rng, int resolution, const MeshContext& context);

    float InnerRatio() const { return m_InnerRatio; }

protected:
    float VertexRadius(int vertex) const override;

    float m_InnerRatio = 1.0f;
};
