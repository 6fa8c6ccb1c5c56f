#pragma once

#include "shapes/Shape.h"

// Regular dodecahedron of radius 0.05 to 0.25 (steps of 0.05); its vertices lie 0.12 % outside.
class ShapeDodecahedron : public Shape {
public:
    ShapeDodecahedron(Random& rng, const MotionContext& motion);

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override { return m_Size; }
    int PolygonCount() const override { return 12; }

protected:
    ShapeDodecahedron(const ShapeDodecahedron& source) = default;

private:
    float m_Size;
};
