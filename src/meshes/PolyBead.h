#pragma once

#include "meshes/PolySolid.h"

// A spindle about z: half-length L (1 to 4; 1 at resolution 0 or less) and girth g (0.1 to
// 1.6), radius g sin(alpha) at height (2 alpha / pi - 1) L for alpha in [0, pi].
class PolyBead : public PolySolid {
public:
    PolyBead(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
             ColorMaker* maker = nullptr);

    void Generate(UsesPoly& sink) override;
    float Radius() const override { return 2.0f * m_HalfLength; }

    float HalfLength() const { return m_HalfLength; }
    float Girth() const { return m_Girth; }

private:
    SurfacePoint PointAt(int i, int j) const;

    float m_HalfLength;
    float m_Girth;
};
