#pragma once

#include "shapes/Shape.h"

// Regular icosahedron with its vertices at radius 0.05 to 0.25 (steps of 0.05).
class ShapeIcosahedron : public Shape {
public:
    ShapeIcosahedron(Random& rng, const MotionContext& motion);

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override { return m_Size; }
    int PolygonCount() const override { return 20; }

protected:
    ShapeIcosahedron(const ShapeIcosahedron& source) = default;

private:
    float m_Size;
};
