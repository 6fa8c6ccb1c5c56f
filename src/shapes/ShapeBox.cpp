#include "shapes/ShapeBox.h"

#include "core/Random.h"
#include "shapes/Primitives.h"

#include <algorithm>

namespace {
float Side(Random& rng) {
    return static_cast<float>((rng.below(8) + 1) * 0.04);
}
} // namespace

// Members are initialised in declaration order: width, height, depth.
ShapeBox::ShapeBox(Random& rng, const MotionContext& motion)
    : Shape(rng, motion, true, false), m_Width(Side(rng)), m_Height(Side(rng)), m_Depth(Side(rng)) {
}

std::unique_ptr<Shape> ShapeBox::Clone() const {
    return std::unique_ptr<Shape>(new ShapeBox(*this));
}

void ShapeBox::DrawShape(Primitives& solids) {
    solids.SolidBox(m_Width, m_Height, m_Depth);
}

float ShapeBox::Radius() const {
    return std::max({m_Width, m_Height, m_Depth});
}
