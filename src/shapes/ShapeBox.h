#pragma once

#include "shapes/Shape.h"

// Box whose width, height and depth are each 0.04 to 0.32 in steps of 0.04.
class ShapeBox : public Shape {
public:
    ShapeBox(Random& rng, const MotionContext& motion);

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override;
    int PolygonCount() const override { return 6; }

    float Width() const { return m_Width; }
    float Height() const { return m_Height; }
    float Depth() const { return m_Depth; }

protected:
    ShapeBox(const ShapeBox& source) = default;

private:
    float m_Width;
    float m_Height;
    float m_Depth;
};
