#include "shapes/ShapeOctahedron.h"

#include "core/Random.h"
#include "shapes/Primitives.h"

ShapeOctahedron::ShapeOctahedron(Random& rng, const MotionContext& motion)
    : Shape(rng, motion, true, false), m_Size(static_cast<float>((rng.below(5) + 1) * 0.05)) {}

std::unique_ptr<Shape> ShapeOctahedron::Clone() const {
    return std::unique_ptr<Shape>(new ShapeOctahedron(*this));
}

void ShapeOctahedron::DrawShape(Primitives& solids) {
    solids.SolidOctahedron(m_Size);
}
