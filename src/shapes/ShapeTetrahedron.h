#pragma once

#include "shapes/Shape.h"

// Regular tetrahedron with its vertices at radius 0.04 to 0.2 (steps of 0.04).
class ShapeTetrahedron : public Shape {
public:
    ShapeTetrahedron(Random& rng, const MotionContext& motion);

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override { return m_Size; }
    int PolygonCount() const override { return 4; }

protected:
    ShapeTetrahedron(const ShapeTetrahedron& source) = default;

    float m_Size;
};

// The tetrahedron's edges: each face as a line loop.
class ShapeWireTetrahedron : public ShapeTetrahedron {
public:
    ShapeWireTetrahedron(Random& rng, const MotionContext& motion)
        : ShapeTetrahedron(rng, motion) {}

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;

protected:
    ShapeWireTetrahedron(const ShapeWireTetrahedron& source) = default;
};
