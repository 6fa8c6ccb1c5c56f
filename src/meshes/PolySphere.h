#pragma once

#include "meshes/PolySolid.h"

// A sphere of radius 1 on the grid: rows are latitudes from the +z pole (theta = 0) to the
// -z pole (theta = pi), N / 2 rows of angle 2 pi / N; columns are longitudes of angle
// 2 pi / N (the factories build spheres with N = M). Size stretches it along z.
class PolySphere : public PolySolid {
public:
    PolySphere(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
               ColorMaker* maker = nullptr);

    void Generate(UsesPoly& sink) override;
    float Radius() const override { return 2.0f * m_Size * m_Radius; }
    bool IsRound() const override { return true; }

    bool IsHemiSphere() const { return m_bHemiSphere; }
    // First row and one past the last row of the walk.
    int StartRow() const { return m_bHemiSphere ? m_Rows / 4 : 0; }
    int EndRow() const { return m_Rows / 2; }

protected:
    PolySphere(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
               ColorMaker* maker, bool hemiSphere);

private:
    SurfacePoint PointAt(int i, int j) const;

    float m_Radius = 1.0f;
    bool m_bHemiSphere;
};

// The lower half (z <= 0) of the sphere: rows N / 4 to N / 2 - 1.
class PolyHemiSphere : public PolySphere {
public:
    PolyHemiSphere(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                   ColorMaker* maker = nullptr)
        : PolySphere(rng, resolution, randomOptions, context, maker, true) {}
};

// A sphere (always with random options) stretched along z by 1 to 3.
class PolyRoundedBead : public PolySphere {
public:
    PolyRoundedBead(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                    ColorMaker* maker = nullptr);
};
