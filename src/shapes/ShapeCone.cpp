#include "shapes/ShapeCone.h"

#include "core/Random.h"
#include "shapes/Primitives.h"

#include <algorithm>

// Base radius first, then height (declaration order).
ShapeCone::ShapeCone(Random& rng, const MotionContext& motion)
    : Shape(rng, motion, true, false), m_Radius(static_cast<float>((rng.below(10) + 1) * 0.02)),
      m_Height(static_cast<float>((rng.below(20) + 1) * 0.05)) {}

std::unique_ptr<Shape> ShapeCone::Clone() const {
    return std::unique_ptr<Shape>(new ShapeCone(*this));
}

void ShapeCone::DrawShape(Primitives& solids) {
    solids.LineCone(m_Radius, m_Height);
}

float ShapeCone::Radius() const {
    return std::max(m_Radius, m_Height);
}

std::unique_ptr<Shape> ShapeWireCone::Clone() const {
    return std::unique_ptr<Shape>(new ShapeWireCone(*this));
}
