#pragma once

#include "shapes/Shape.h"

// Cone drawn as lines along +z from the origin: base radius 0.02 to 0.2 (steps of 0.02),
// height 0.05 to 1.0 (steps of 0.05).
class ShapeCone : public Shape {
public:
    ShapeCone(Random& rng, const MotionContext& motion);

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override;
    int PolygonCount() const override { return 150; }

    float BaseRadius() const { return m_Radius; }
    float Height() const { return m_Height; }

protected:
    ShapeCone(const ShapeCone& source) = default;

    float m_Radius;
    float m_Height;
};

// Draws the same lines as the cone and only reports half its polygons, so scenes of it hold
// twice as many shapes.
class ShapeWireCone : public ShapeCone {
public:
    ShapeWireCone(Random& rng, const MotionContext& motion) : ShapeCone(rng, motion) {}

    std::unique_ptr<Shape> Clone() const override;
    int PolygonCount() const override { return 150 / 2; }

protected:
    ShapeWireCone(const ShapeWireCone& source) = default;
};
