#pragma once

#include "shapes/Shape.h"

// Sphere of radius 0.05 to 0.25 (steps of 0.05). A sphere does not spin: it builds its own
// mover and colour changer and no rotater, and its clones have none either.
class ShapeSphere : public Shape {
public:
    ShapeSphere(Random& rng, const MotionContext& motion);

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override { return m_Size; }
    int PolygonCount() const override { return 256; }

protected:
    // animated: the base first builds a mover, a rotater and a colour changer; the sphere
    // then replaces mover and colour changer with new ones (the rotater stays).
    ShapeSphere(Random& rng, const MotionContext& motion, bool animated);
    // Clones mover and colour changer only.
    ShapeSphere(const ShapeSphere& source);

    float m_Size;
};

// The sphere's wire frame. The prototype spins (its base built a rotater), its clones do not.
class ShapeWireSphere : public ShapeSphere {
public:
    ShapeWireSphere(Random& rng, const MotionContext& motion) : ShapeSphere(rng, motion, true) {}

    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    int PolygonCount() const override { return 256 / 4; }

protected:
    ShapeWireSphere(const ShapeWireSphere& source) = default;
};
