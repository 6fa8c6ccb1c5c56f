#include "shapes/ShapeIcosahedron.h"

#include "core/Random.h"
#include "shapes/Primitives.h"

ShapeIcosahedron::ShapeIcosahedron(Random& rng, const MotionContext& motion)
    : Shape(rng, motion, true, false), m_Size(static_cast<float>((rng.below(5) + 1) * 0.05)) {}

std::unique_ptr<Shape> ShapeIcosahedron::Clone() const {
    return std::unique_ptr<Shape>(new ShapeIcosahedron(*this));
}

void ShapeIcosahedron::DrawShape(Primitives& solids) {
    solids.SolidIcosahedron(m_Size);
}
