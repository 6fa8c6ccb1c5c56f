#include "shapes/ShapeSphere.h"

#include "core/Random.h"
#include "motion/ColorChanger.h"
#include "motion/Mover.h"
#include "shapes/Primitives.h"

ShapeSphere::ShapeSphere(Random& rng, const MotionContext& motion)
    : ShapeSphere(rng, motion, false) {}

ShapeSphere::ShapeSphere(Random& rng, const MotionContext& motion, bool animated)
    : Shape(rng, motion, animated, false) {
    SetMover(Mover::Create(rng, motion));
    SetColorChanger(ColorChanger::Create(rng, motion));
    m_Size = static_cast<float>((rng.below(5) + 1) * 0.05);
}

// Built like a new unanimated shape rather than through the base copy, which would also
// clone the rotater (and draw from the generator doing so).
ShapeSphere::ShapeSphere(const ShapeSphere& source)
    : Shape(source.Rand(), MotionContext{}, false, false), m_Size(source.m_Size) {
    SetMover(source.GetMover()->Clone());
    SetColorChanger(source.GetColorChanger()->Clone());
}

std::unique_ptr<Shape> ShapeSphere::Clone() const {
    return std::unique_ptr<Shape>(new ShapeSphere(*this));
}

void ShapeSphere::DrawShape(Primitives& solids) {
    solids.SolidSphere(m_Size);
}

std::unique_ptr<Shape> ShapeWireSphere::Clone() const {
    return std::unique_ptr<Shape>(new ShapeWireSphere(*this));
}

void ShapeWireSphere::DrawShape(Primitives& solids) {
    solids.WireSphere(m_Size);
}
