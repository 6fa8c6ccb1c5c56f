#pragma once

#include "meshes/PolySolid.h"
#include "meshes/SinProfiles.h"

// A height field over the square [-1, 1]^2: z = (A(x) + B(y) + 2) / 4, between 0 and 1, from
// two random profiles, A along x (the rows) and B along y (the columns). Faces -z.
class PolyCartesian : public PolySolid {
public:
    PolyCartesian(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                  ColorMaker* maker = nullptr);

    void Generate(UsesPoly& sink) override;
    float Radius() const override { return 2.0f; }

    const SinProfiles& Profiles() const { return m_Profiles; }

private:
    SurfacePoint PointAt(int i, int j) const;

    SinProfiles m_Profiles;
    float m_ExtentX = 1.0f;
    float m_ExtentY = 1.0f;
};
