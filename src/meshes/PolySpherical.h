#pragma once

#include "meshes/PolySolid.h"
#include "meshes/SinProfiles.h"

// A closed surface about the origin whose radius (A(u) + 1) / 4 + (B(w) + 1) / 4, between 0
// and 1, follows two random profiles: A from pole to pole (u from -1 to 1 as the polar angle
// runs from 0 to pi), B around the axis (w from -1 to 1 once around).
class PolySpherical : public PolySolid {
public:
    PolySpherical(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                  ColorMaker* maker = nullptr);

    void Generate(UsesPoly& sink) override;
    float Radius() const override { return 2.0f; }

    const SinProfiles& Profiles() const { return m_Profiles; }

private:
    SurfacePoint PointAt(int i, int j) const;

    SinProfiles m_Profiles;
};
