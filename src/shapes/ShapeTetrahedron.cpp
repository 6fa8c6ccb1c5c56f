#include "shapes/ShapeTetrahedron.h"

#include "core/Random.h"
#include "shapes/Primitives.h"

ShapeTetrahedron::ShapeTetrahedron(Random& rng, const MotionContext& motion)
    : Shape(rng, motion, true, false), m_Size(static_cast<float>((rng.below(5) + 1) * 0.04)) {}

std::unique_ptr<Shape> ShapeTetrahedron::Clone() const {
    return std::unique_ptr<Shape>(new ShapeTetrahedron(*this));
}

void ShapeTetrahedron::DrawShape(Primitives& solids) {
    solids.SolidTetrahedron(m_Size);
}

std::unique_ptr<Shape> ShapeWireTetrahedron::Clone() const {
    return std::unique_ptr<Shape>(new ShapeWireTetrahedron(*this));
}

void ShapeWireTetrahedron::DrawShape(Primitives& solids) {
    solids.WireTetrahedron(m_Size);
}
