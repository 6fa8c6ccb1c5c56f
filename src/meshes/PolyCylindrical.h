#pragma once

#include "meshes/PolySolid.h"
#include "meshes/SinProfiles.h"

// A tube about z from z = -1 to 1 whose radius (A(z) + 1) / 4 + (B(w) + 1) / 4, between 0
// and 1, follows two regular random profiles: A along the height, B around the tube (w runs
// from -1 to 1 once around).
class PolyCylindrical : public PolySolid {
public:
    PolyCylindrical(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                    ColorMaker* maker = nullptr);

    void Generate(UsesPoly& sink) override;
    float Radius() const override { return 2.0f; }

    const SinProfiles& Profiles() const { return m_Profiles; }

private:
    SurfacePoint PointAt(int i, int j) const;

    SinProfiles m_Profiles;
};
