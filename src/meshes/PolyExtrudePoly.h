#pragma once

#include "meshes/PolyExtrude.h"

#include <array>

// A regular N-gon of radius 1 (3 to N^2 + 2 sides, few likeliest) swept from the bottom
// plane z = -0.5 (moved by B) to a top copy that may be twisted by up to pi / 2, scaled
// by up to 2 and is raised by 1 (T = B x top). Each edge gives one side facet; with caps the
// two outlines close the solid.
class PolyExtrudePoly : public PolyExtrude {
public:
    using Matrix = std::array<float, 16>; // row-major, applied to column vectors (x, y, z, 1)

    // (tx, ty, tz): B's translation. spare is not used. capsAndTwist offers caps and a twist
    // (a draw each), scaling a scale of the top (a draw, then one more when taken).
    PolyExtrudePoly(Random& rng, int resolution, float tx, float ty, float tz, bool spare,
                    bool capsAndTwist, bool scaling, const MeshContext& context,
                    ColorMaker* maker = nullptr);

    // The N side facets, then with caps the bottom and the top cap. Neither the gate nor a
    // refusing sink stops it.
    void Generate(UsesPoly& sink) override;
    float Radius() const override { return 1.0f; }
    // Start and end of outline edge e (from vertex e to vertex e + 1, mod N) at z = 0.
    virtual void EdgePoints(int edge, float& x0, float& y0, float& x1, float& y1) const;

    int Sides() const { return m_Rows; }
    bool HasCaps() const { return m_bCaps; }
    const Matrix& Bottom() const { return m_Bottom; }
    const Matrix& Top() const { return m_Top; }

protected:
    // Radius of outline vertex e.
    virtual float VertexRadius(int vertex) const;

private:
    bool m_bCaps = false;
    Matrix m_Bottom{};
    Matrix m_Top{};
};
