#include "shapes/ShapeCylinder.h"

#include "core/Random.h"
#include "shapes/Primitives.h"

#include <algorithm>

// Radius first, then height (declaration order).
ShapeCylinder::ShapeCylinder(Random& rng, const MotionContext& motion)
    : Shape(rng, motion, true, false), m_Radius(static_cast<float>((rng.below(4) + 1) * 0.04)),
      m_Height(static_cast<float>((rng.below(10) + 1) * 0.06)) {}

std::unique_ptr<Shape> ShapeCylinder::Clone() const {
    return std::unique_ptr<Shape>(new ShapeCylinder(*this));
}

void ShapeCylinder::DrawShape(Primitives& solids) {
    solids.SolidCylinder(m_Radius, m_Height);
}

float ShapeCylinder::Radius() const {
    return std::max(m_Radius, m_Height);
}

std::unique_ptr<Shape> ShapeWireCylinder::Clone() const {
    return std::unique_ptr<Shape>(new ShapeWireCylinder(*this));
}

void ShapeWireCylinder::DrawShape(Primitives& solids) {
    solids.WireCylinder(m_Radius, m_Height);
}
