#include "shapes/ShapeDot.h"

#include "core/Random.h"

#include <GL/gl.h>

ShapeDot::ShapeDot(Random& rng, const MotionContext& motion) : Shape(rng, motion, true, false) {
    glPointSize(static_cast<GLfloat>(rng.uniform() * 6 + 2));
}

std::unique_ptr<Shape> ShapeDot::Clone() const {
    return std::unique_ptr<Shape>(new ShapeDot(*this));
}

void ShapeDot::DrawShape(Primitives& /*solids*/) {
    glBegin(GL_POINTS);
    glVertex3f(m_PointX, m_PointY, m_PointZ);
    glEnd();
}
