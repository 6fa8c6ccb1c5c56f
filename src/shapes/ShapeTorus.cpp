#include "shapes/ShapeTorus.h"

#include "core/Random.h"
#include "shapes/Primitives.h"

ShapeTorus::ShapeTorus(Random& rng, const MotionContext& motion)
    : Shape(rng, motion, true, false), m_TubeRadius(static_cast<float>((rng.below(5) + 1) * 0.02)),
      m_RingRadius(static_cast<float>(m_TubeRadius + (rng.below(5) + 1) * 0.01)) {}

std::unique_ptr<Shape> ShapeTorus::Clone() const {
    return std::unique_ptr<Shape>(new ShapeTorus(*this));
}

void ShapeTorus::DrawShape(Primitives& solids) {
    solids.SolidTorus(m_TubeRadius, m_RingRadius);
}
