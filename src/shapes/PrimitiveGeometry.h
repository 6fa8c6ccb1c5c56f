#pragma once

#include "core/Vec3d.h"
#include "shapes/TransformStack.h"

#include <GL/gl.h>

#include <array>
#include <span>

// Geometry of the primitive solids, issued as begin / normal / vertex / end calls to a sink:
// the GL sink compiles it, a recording sink lets tests inspect it without a context.
class GeometrySink {
public:
    virtual ~GeometrySink() = default;
    virtual void Begin(GLenum primitive) = 0;
    virtual void Normal(const Vec3d& n) = 0;
    virtual void Vertex(const Vec3d& v) = 0;
    virtual void End() = 0;
};

// Issues straight to the current GL context (inside glNewList while compiling).
class GLGeometrySink : public GeometrySink {
public:
    void Begin(GLenum primitive) override { glBegin(primitive); }
    void Normal(const Vec3d& n) override { glNormal3dv(n.data()); }
    void Vertex(const Vec3d& v) override { glVertex3dv(v.data()); }
    void End() override { glEnd(); }
};

// A vertex table and triangular faces; vertices need not be unit length.
struct TriangleTable {
    std::span<const Vec3d> vertices;
    std::span<const std::array<int, 3>> faces;
};

namespace PrimitiveGeometry {

const TriangleTable& Tetrahedron();
const TriangleTable& Octahedron();
const TriangleTable& Icosahedron();

// Vertices of the regular dodecahedron with edge 2 / golden ratio, at distance sqrt 3.
std::array<Vec3d, 20> DodecahedronVertices();
// The twelve pentagons, vertex indices in drawing order.
const std::array<std::array<int, 5>, 12>& DodecahedronFaces();
// The dodecahedron is scaled by this so that radius r puts its vertices at about r.
constexpr double kDodecahedronScale = 0.5780346820809249; // 1 / 1.73

// Six faces of four vertices, each vertex preceded by the face normal. Each pair of limits
// may come in either order.
void Box(GeometrySink& sink, double x0, double x1, double y0, double y1, double z0, double z1,
         GLenum primitive);

// Torus in the xy plane around the z axis; tube radius r, ring radius ringRadius.
void Torus(GeometrySink& sink, double r, double ringRadius, int sides, int rings, GLenum primitive);

// Every face on the sphere of the given radius, one flat outward normal per face; points and
// normals pass through the current level of the stack.
void TriangleSolid(GeometrySink& sink, const TriangleTable& table, double radius, GLenum primitive,
                   const TransformStack& stack);

// Twelve GL_POLYGON pentagons centred on the origin, scaled by radius * kDodecahedronScale
// through the stack (pushed and popped again).
void Dodecahedron(GeometrySink& sink, double radius, TransformStack& stack);

} // namespace PrimitiveGeometry
