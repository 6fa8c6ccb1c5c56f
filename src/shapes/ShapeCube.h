#pragma once

#include "shapes/Shape.h"

// Cube of edge 0.04 to 0.2 in steps of 0.04.
class ShapeCube : public Shape {
public:
    ShapeCube(Random& rng, const MotionContext& motion);

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override { return m_Size / 2; }
    int PolygonCount() const override { return 6; }

    float Size() const { return m_Size; }

protected:
    ShapeCube(const ShapeCube& source) = default;

    float m_Size;
};

// The cube's edges: each face as a line loop.
class ShapeWireCube : public ShapeCube {
public:
    ShapeWireCube(Random& rng, const MotionContext& motion) : ShapeCube(rng, motion) {}

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;

protected:
    ShapeWireCube(const ShapeWireCube& source) = default;
};
