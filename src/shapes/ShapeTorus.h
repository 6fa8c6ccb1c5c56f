#pragma once

#include "shapes/Shape.h"

// Torus around the z axis: tube radius 0.02 to 0.1 (steps of 0.02), ring radius the tube
// radius plus 0.01 to 0.05, so there is always a hole.
class ShapeTorus : public Shape {
public:
    ShapeTorus(Random& rng, const MotionContext& motion);

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override { return m_TubeRadius + m_RingRadius; }
    int PolygonCount() const override { return 120; }

    float TubeRadius() const { return m_TubeRadius; }
    float RingRadius() const { return m_RingRadius; }

protected:
    ShapeTorus(const ShapeTorus& source) = default;

private:
    float m_TubeRadius;
    float m_RingRadius;
};
