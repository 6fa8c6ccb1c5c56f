#include "shapes/ShapeCube.h"

#include "core/Random.h"
#include "shapes/Primitives.h"

ShapeCube::ShapeCube(Random& rng, const MotionContext& motion)
    : Shape(rng, motion, true, false), m_Size(static_cast<float>((rng.below(5) + 1) * 0.04)) {}

std::unique_ptr<Shape> ShapeCube::Clone() const {
    return std::unique_ptr<Shape>(new ShapeCube(*this));
}

void ShapeCube::DrawShape(Primitives& solids) {
    solids.SolidCube(m_Size);
}

std::unique_ptr<Shape> ShapeWireCube::Clone() const {
    return std::unique_ptr<Shape>(new ShapeWireCube(*this));
}

void ShapeWireCube::DrawShape(Primitives& solids) {
    solids.WireCube(m_Size);
}
