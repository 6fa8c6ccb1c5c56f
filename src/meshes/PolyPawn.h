#pragma once

#include "meshes/PolySolid.h"

// A surface of revolution about z from z = -1 (row 0) to z = 1 (row N) whose profile radius
// is the mean of 1 and two random sine waves of the profile angle 0 .. pi, so it stays
// within [0, 1].
class PolyPawn : public PolySolid {
public:
    struct Wave {
        float amplitude; // (0, 0.5]
        float frequency; // [0, 5)
        float phase;     // [-pi, pi)
    };

    PolyPawn(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
             ColorMaker* maker = nullptr);

    void Generate(UsesPoly& sink) override;
    float Radius() const override { return 2.0f; }

    // Profile radius and its slope at profile angle alpha in [0, pi].
    float ProfileRadius(float alpha) const;
    float ProfileSlope(float alpha) const;

private:
    SurfacePoint PointAt(int i, int j) const;

    Wave m_Wave1;
    Wave m_Wave2;
};
