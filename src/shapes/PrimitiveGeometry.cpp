#include "shapes/PrimitiveGeometry.h"

#include "core/Maths.h"

#include <cmath>
#include <utility>

namespace {

constexpr double T = 1.7320508075688772; // sqrt 3
constexpr std::array<Vec3d, 4> kTetrahedronVertices{{
    {T, T, T},
    {T, -T, -T},
    {-T, T, -T},
    {-T, -T, T},
}};
constexpr std::array<std::array<int, 3>, 4> kTetrahedronFaces{{
    {0, 1, 3},
    {2, 1, 0},
    {3, 2, 0},
    {1, 2, 3},
}};

constexpr std::array<Vec3d, 6> kOctahedronVertices{{
    {1, 0, 0},
    {-1, 0, 0},
    {0, 1, 0},
    {0, -1, 0},
    {0, 0, 1},
    {0, 0, -1},
}};
constexpr std::array<std::array<int, 3>, 8> kOctahedronFaces{{
    {0, 4, 2},
    {1, 2, 4},
    {0, 3, 4},
    {1, 4, 3},
    {0, 2, 5},
    {1, 5, 2},
    {0, 5, 3},
    {1, 3, 5},
}};

constexpr double X = 0.5257311121191336;
constexpr double Z = 0.8506508083520399;
constexpr std::array<Vec3d, 12> kIcosahedronVertices{{
    {-X, 0, Z},
    {X, 0, Z},
    {-X, 0, -Z},
    {X, 0, -Z},
    {0, Z, X},
    {0, Z, -X},
    {0, -Z, X},
    {0, -Z, -X},
    {Z, X, 0},
    {-Z, X, 0},
    {Z, -X, 0},
    {-Z, -X, 0},
}};
constexpr std::array<std::array<int, 3>, 20> kIcosahedronFaces{{
    {0, 4, 1}, {0, 9, 4},  {9, 5, 4},  {4, 5, 8},  {4, 8, 1},  {8, 10, 1}, {8, 3, 10},
    {5, 3, 8}, {5, 2, 3},  {2, 7, 3},  {7, 10, 3}, {7, 6, 10}, {7, 11, 6}, {11, 0, 6},
    {0, 1, 6}, {6, 1, 10}, {9, 0, 11}, {9, 11, 2}, {9, 2, 5},  {7, 2, 11},
}};

constexpr std::array<std::array<int, 5>, 12> kDodecahedronFaces{{
    {0, 1, 9, 16, 5},
    {1, 0, 3, 18, 7},
    {1, 7, 11, 10, 9},
    {11, 7, 18, 19, 6},
    {8, 17, 16, 9, 10},
    {2, 14, 15, 6, 19},
    {2, 13, 12, 4, 14},
    {2, 19, 18, 3, 13},
    {3, 0, 5, 12, 13},
    {6, 15, 8, 10, 11},
    {4, 17, 8, 15, 14},
    {4, 12, 5, 16, 17},
}};

// Not the full double value of 2 pi: the torus is built with this constant.
constexpr double kTwoPi = 6.2831853071794;

void Quad(GeometrySink& sink, GLenum primitive, const Vec3d& normal,
          const std::array<Vec3d, 4>& corners) {
    sink.Begin(primitive);
    for (const Vec3d& corner : corners) {
        sink.Normal(normal);
        sink.Vertex(corner);
    }
    sink.End();
}

} // namespace

namespace PrimitiveGeometry {

const TriangleTable& Tetrahedron() {
    static const TriangleTable table{kTetrahedronVertices, kTetrahedronFaces};
    return table;
}

const TriangleTable& Octahedron() {
    static const TriangleTable table{kOctahedronVertices, kOctahedronFaces};
    return table;
}

const TriangleTable& Icosahedron() {
    static const TriangleTable table{kIcosahedronVertices, kIcosahedronFaces};
    return table;
}

std::array<Vec3d, 20> DodecahedronVertices() {
    const double a = std::sqrt(2.0 / (3.0 + std::sqrt(5.0)));
    const double b = 1.0 + std::sqrt(6.0 / (3.0 + std::sqrt(5.0)) - 2.0 + 2.0 * a);
    return {{
        {-a, 0, b},  {a, 0, b},  {-1, -1, -1}, {-1, -1, 1}, {-1, 1, -1}, {-1, 1, 1},  {1, -1, -1},
        {1, -1, 1},  {1, 1, -1}, {1, 1, 1},    {b, a, 0},   {b, -a, 0},  {-b, a, 0},  {-b, -a, 0},
        {-a, 0, -b}, {a, 0, -b}, {0, b, a},    {0, b, -a},  {0, -b, a},  {0, -b, -a},
    }};
}

const std::array<std::array<int, 5>, 12>& DodecahedronFaces() {
    return kDodecahedronFaces;
}

void Box(GeometrySink& sink, double x0, double x1, double y0, double y1, double z0, double z1,
         GLenum primitive) {
    if (x0 > x1)
        std::swap(x0, x1);
    if (y0 > y1)
        std::swap(y0, y1);
    if (z0 > z1)
        std::swap(z0, z1);
    const Vec3d p0{x0, y0, z0}, p1{x0, y0, z1}, p2{x0, y1, z1}, p3{x0, y1, z0};
    const Vec3d p4{x1, y0, z0}, p5{x1, y0, z1}, p6{x1, y1, z1}, p7{x1, y1, z0};
    Quad(sink, primitive, {-1, 0, 0}, {p0, p1, p2, p3});
    Quad(sink, primitive, {0, 1, 0}, {p3, p2, p6, p7});
    Quad(sink, primitive, {1, 0, 0}, {p7, p6, p5, p4});
    Quad(sink, primitive, {0, -1, 0}, {p4, p5, p1, p0});
    Quad(sink, primitive, {0, 0, 1}, {p5, p6, p2, p1});
    Quad(sink, primitive, {0, 0, -1}, {p7, p4, p0, p3});
}

void Torus(GeometrySink& sink, double r, double ringRadius, int sides, int rings,
           GLenum primitive) {
    for (int i = 0; i < rings; ++i) {
        const double theta = i * kTwoPi / rings;
        const double theta1 = (i + 1) * kTwoPi / rings;
        const double cosTheta = maths::Cos(theta), sinTheta = maths::Sin(theta);
        const double cosTheta1 = maths::Cos(theta1), sinTheta1 = maths::Sin(theta1);
        for (int j = 0; j < sides; ++j) {
            const double phi = j * kTwoPi / sides;
            const double phi1 = (j + 1) * kTwoPi / sides;
            const double cosPhi = maths::Cos(phi), sinPhi = maths::Sin(phi);
            const double cosPhi1 = maths::Cos(phi1), sinPhi1 = maths::Sin(phi1);
            const double d = ringRadius + r * cosPhi;
            const double d1 = ringRadius + r * cosPhi1;
            const std::array<Vec3d, 4> points{{
                {d1 * cosTheta, -d1 * sinTheta, r * sinPhi1},
                {d1 * cosTheta1, -d1 * sinTheta1, r * sinPhi1},
                {d * cosTheta1, -d * sinTheta1, r * sinPhi},
                {d * cosTheta, -d * sinTheta, r * sinPhi},
            }};
            const std::array<Vec3d, 4> normals{{
                {cosTheta * cosPhi1, -sinTheta * cosPhi1, sinPhi1},
                {cosTheta1 * cosPhi1, -sinTheta1 * cosPhi1, sinPhi1},
                {cosTheta1 * cosPhi, -sinTheta1 * cosPhi, sinPhi},
                {cosTheta * cosPhi, -sinTheta * cosPhi, sinPhi},
            }};
            sink.Begin(primitive);
            for (int k = 0; k < 4; ++k) {
                sink.Normal(normals[k]);
                sink.Vertex(points[k]);
            }
            sink.End();
        }
    }
}

void TriangleSolid(GeometrySink& sink, const TriangleTable& table, double radius, GLenum primitive,
                   const TransformStack& stack) {
    for (const auto& face : table.faces) {
        // Drawn a, c, b: outward-facing and counter-clockwise seen from outside.
        const Vec3d p1 = Normalize(table.vertices[face[0]]) * radius;
        const Vec3d p2 = Normalize(table.vertices[face[2]]) * radius;
        const Vec3d p3 = Normalize(table.vertices[face[1]]) * radius;
        const Vec3d normal = Normalize(Cross(p1 - p2, p2 - p3));
        sink.Begin(primitive);
        sink.Normal(stack.Normal(normal));
        sink.Vertex(stack.Point(p1));
        sink.Vertex(stack.Point(p2));
        sink.Vertex(stack.Point(p3));
        sink.End();
    }
}

void Dodecahedron(GeometrySink& sink, double radius, TransformStack& stack) {
    const std::array<Vec3d, 20> v = DodecahedronVertices();
    const double scale = radius * kDodecahedronScale;
    stack.Push();
    stack.Translate(0.0, 0.0, 0.0);
    stack.Scale(scale, scale, scale);
    for (const auto& face : kDodecahedronFaces) {
        const Vec3d normal = Normalize(Cross(v[face[0]] - v[face[1]], v[face[1]] - v[face[2]]));
        sink.Begin(GL_POLYGON);
        sink.Normal(stack.Normal(normal));
        for (int index : face)
            sink.Vertex(stack.Point(v[index]));
        sink.End();
    }
    stack.Pop();
}

} // namespace PrimitiveGeometry
