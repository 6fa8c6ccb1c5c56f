#include "shapes/TransformStack.h"

#include "shapes/PrimitiveError.h"

#include <cmath>

Vec3d Normalize(const Vec3d& v) {
    const double length = std::sqrt(Dot(v, v));
    if (length == 0.0)
        PrimitiveError::Report("normalize: zero length vector");
    return {v[0] / length, v[1] / length, v[2] / length};
}

TransformStack::TransformStack() {
    Level& identity = m_Levels[0];
    for (int i = 0; i < 4; ++i)
        identity.matrix[i][i] = 1.0;
    for (int i = 0; i < 3; ++i)
        identity.normal[i][i] = 1.0;
}

void TransformStack::Push() {
    if (m_Top >= kLevels - 1)
        PrimitiveError::Report("m_pushmatrix: stack overflow\n");
    m_Levels[m_Top + 1] = m_Levels[m_Top];
    ++m_Top;
}

void TransformStack::Pop() {
    if (m_Top <= 0)
        PrimitiveError::Report("m_popmatrix: stack underflow\n");
    --m_Top;
}

void TransformStack::Translate(double x, double y, double z) {
    Matrix4& m = m_Levels[m_Top].matrix;
    // M * T only changes the last column.
    for (int row = 0; row < 4; ++row)
        m[row][3] += m[row][0] * x + m[row][1] * y + m[row][2] * z;
    m_bTransformed = true;
}

void TransformStack::Scale(double sx, double sy, double sz) {
    Level& level = m_Levels[m_Top];
    const double s[3] = {sx, sy, sz};
    const double inverse[3] = {1.0 / sx, 1.0 / sy, 1.0 / sz};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col)
            level.matrix[row][col] *= s[col];
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            level.normal[row][col] *= inverse[col];
    m_bTransformed = true;
}

Vec3d TransformStack::Point(const Vec3d& p) const {
    if (!m_bTransformed)
        return p;
    const Matrix4& m = m_Levels[m_Top].matrix;
    Vec3d out{};
    for (int row = 0; row < 3; ++row)
        out[row] = m[row][0] * p[0] + m[row][1] * p[1] + m[row][2] * p[2] + m[row][3];
    return out;
}

Vec3d TransformStack::Normal(const Vec3d& n) const {
    if (!m_bTransformed)
        return n;
    const Matrix3& m = m_Levels[m_Top].normal;
    Vec3d out{};
    for (int row = 0; row < 3; ++row)
        out[row] = m[row][0] * n[0] + m[row][1] * n[1] + m[row][2] * n[2];
    return Normalize(out);
}
