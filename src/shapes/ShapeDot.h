#pragma once

#include "shapes/Shape.h"

// A single point at the origin. Building one sets the GL point size (2 to 8 pixels) for
// every point drawn afterwards: the last dot built decides the size of all.
class ShapeDot : public Shape {
public:
    ShapeDot(Random& rng, const MotionContext& motion);

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override { return 1.0f; }
    int PolygonCount() const override { return 2; }

protected:
    // Leaves the point size alone.
    ShapeDot(const ShapeDot& source) = default;

private:
    float m_PointX = 0;
    float m_PointY = 0;
    float m_PointZ = 0;
};
