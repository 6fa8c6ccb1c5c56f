#pragma once

#include "shapes/Shape.h"

// Open cylinder along +z from the origin: radius 0.04 to 0.16 (steps of 0.04), height 0.06
// to 0.6 (steps of 0.06).
class ShapeCylinder : public Shape {
public:
    ShapeCylinder(Random& rng, const MotionContext& motion);

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override;
    int PolygonCount() const override { return 24; }

    float CylinderRadius() const { return m_Radius; }
    float Height() const { return m_Height; }

protected:
    ShapeCylinder(const ShapeCylinder& source) = default;

    float m_Radius;
    float m_Height;
};

// The cylinder's wire frame.
class ShapeWireCylinder : public ShapeCylinder {
public:
    ShapeWireCylinder(Random& rng, const MotionContext& motion) : ShapeCylinder(rng, motion) {}

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    int PolygonCount() const override { return 24 / 2; }

protected:
    ShapeWireCylinder(const ShapeWireCylinder& source) = default;
};
