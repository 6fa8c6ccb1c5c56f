#include "shapes/ShapeDodecahedron.h"

#include "core/Random.h"
#include "shapes/Primitives.h"

ShapeDodecahedron::ShapeDodecahedron(Random& rng, const MotionContext& motion)
    : Shape(rng, motion, true, false), m_Size(static_cast<float>((rng.below(5) + 1) * 0.05)) {}

std::unique_ptr<Shape> ShapeDodecahedron::Clone() const {
    return std::unique_ptr<Shape>(new ShapeDodecahedron(*this));
}

void ShapeDodecahedron::DrawShape(Primitives& solids) {
    solids.SolidDodecahedron(m_Size);
}
