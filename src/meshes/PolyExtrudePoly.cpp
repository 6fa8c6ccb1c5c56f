#include "meshes/PolyExtrudePoly.h"

#include "core/Maths.h"
#include "core/Random.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

using Matrix = PolyExtrudePoly::Matrix;

constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k)
                product[r * 4 + c] += a[r * 4 + k] * b[k * 4 + c];
    return product;
}

void Transform(const Matrix& m, float x, float y, float z, float& ox, float& oy, float& oz) {
    ox = m[0] * x + m[1] * y + m[2] * z + m[3];
    oy = m[4] * x + m[5] * y + m[6] * z + m[7];
    oz = m[8] * x + m[9] * y + m[10] * z + m[11];
}

} // namespace

PolyExtrudePoly::PolyExtrudePoly(Random& rng, int resolution, float tx, float ty, float tz,
                                 bool /*spare*/, bool capsAndTwist, bool scaling,
                                 const MeshContext& context, ColorMaker* maker)
    : PolyExtrude(rng, resolution, context, maker) {
    // N^2 in 64 bits: a very fast machine's resolution would overflow an int.
    const long long square = static_cast<long long>(m_Rows) * m_Rows;
    m_Rows = rng.skewed(static_cast<int>(std::min<long long>(square, INT_MAX - 3)), 2) + 3;
    m_bCaps = capsAndTwist && rng.uniform() < 0.5;
    m_Bottom = kIdentity;
    m_Bottom[3] = tx;
    m_Bottom[7] = ty;
    m_Bottom[11] = tz;
    m_Top = kIdentity;
    float angle = 0.0f;
    if (capsAndTwist && rng.uniform() < 0.5)
        angle = static_cast<float>(rng.uniform() * 1.5707963267948966);
    m_Top[0] = maths::Cos(angle);
    m_Top[1] = maths::Sin(angle);
    m_Top[4] = -maths::Sin(angle);
    m_Top[5] = maths::Cos(angle);
    float scale = 1.0f;
    if (scaling && rng.uniform() >= 0.5)
        scale = static_cast<float>(2.0 * rng.uniform());
    // Only the diagonal scales: a twisted top is sheared as well as turned.
    m_Top[0] *= scale;
    m_Top[5] *= scale;
    m_Top[11] = Radius();
    m_Top = Multiply(m_Bottom, m_Top);
}

float PolyExtrudePoly::VertexRadius(int /*vertex*/) const {
    return 1.0f;
}

void PolyExtrudePoly::EdgePoints(int edge, float& x0, float& y0, float& x1, float& y1) const {
    const int n = m_Rows;
    const auto point = [&](int vertex, float& x, float& y) {
        vertex %= n;
        const double angle = 2.0 * std::numbers::pi * vertex / n;
        const float radius = VertexRadius(vertex);
        x = radius * static_cast<float>(maths::Cos(angle));
        y = radius * static_cast<float>(maths::Sin(angle));
    };
    point(edge, x0, y0);
    point(edge + 1, x1, y1);
}

void PolyExtrudePoly::Generate(UsesPoly& sink) {
    if (m_Stage == kFinished)
        return;
    const int n = m_Rows;
    const float zb = -Radius() / 2.0f;
    PolyFacet bottom(n);
    PolyFacet top(n);
    for (; m_Row < n; ++m_Row) {
        const int e = m_Row;
        float x0, y0, x1, y1;
        EdgePoints(e, x0, y0, x1, y1);
        float p0[3], p1[3], q0[3], q1[3];
        Transform(m_Bottom, x0, y0, zb, p0[0], p0[1], p0[2]);
        Transform(m_Bottom, x1, y1, zb, p1[0], p1[1], p1[2]);
        Transform(m_Top, x0, y0, zb, q0[0], q0[1], q0[2]);
        Transform(m_Top, x1, y1, zb, q1[0], q1[1], q1[2]);
        const float s0 = static_cast<float>(e) / static_cast<float>(n);
        const float s1 = static_cast<float>(e + 1) / static_cast<float>(n);
        ColorMaker* maker = m_pColorMaker;
        m_Facet[0] = PolyVertex(p1[0], p1[1], p1[2], 0, 0, 0, s1, 0, maker);
        m_Facet[1] = PolyVertex(q1[0], q1[1], q1[2], 0, 0, 0, s1, 1, maker);
        m_Facet[2] = PolyVertex(q0[0], q0[1], q0[2], 0, 0, 0, s0, 1, maker);
        m_Facet[3] = PolyVertex(p0[0], p0[1], p0[2], 0, 0, 0, s0, 0, maker);
        m_Facet.SetFlatNormal(true);
        sink.AddFacet(m_Facet);
        // The caps list the outline backwards, so both face outwards once their normals are
        // set (the top's backwards).
        bottom[n - e - 1] = PolyVertex(x0, y0, zb, 0, 0, 0, s0, 0, maker);
        top[n - e - 1] = PolyVertex(q0[0], q0[1], q0[2], 0, 0, 0, s0, 1, maker);
    }
    if (m_bCaps) {
        bottom.SetFlatNormal(true);
        top.SetFlatNormal(false);
        sink.AddFacet(bottom);
        sink.AddFacet(top);
    }
    m_bComplete = true;
    m_Stage = kFinished;
}
