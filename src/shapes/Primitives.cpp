#include "shapes/Primitives.h"

#include "gl/DisplayList.h"
#include "shapes/PrimitiveError.h"
#include "shapes/PrimitiveGeometry.h"
#include "shapes/TransformStack.h"

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <forward_list>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

namespace {

struct QuadricDeleter {
    void operator()(GLUquadric* quadric) const { gluDeleteQuadric(quadric); }
};

// A quadric lives only while one list is compiled.
class Quadric {
public:
    Quadric(GLenum drawStyle, bool smoothNormals) : m_Quadric(gluNewQuadric()) {
        if (!m_Quadric)
            return;
        gluQuadricDrawStyle(m_Quadric.get(), drawStyle);
        if (smoothNormals)
            gluQuadricNormals(m_Quadric.get(), GLU_SMOOTH);
    }
    // Null when GLU could not allocate one; nothing is drawn then.
    GLUquadric* get() const { return m_Quadric.get(); }

private:
    std::unique_ptr<GLUquadric, QuadricDeleter> m_Quadric;
};

void QuadricSphere(GLenum drawStyle, bool smooth, double radius) {
    const Quadric quadric(drawStyle, smooth);
    if (quadric.get())
        gluSphere(quadric.get(), radius, 16, 16);
}

void QuadricCylinder(GLenum drawStyle, bool smooth, double base, double top, double height,
                     int slices, int stacks) {
    const Quadric quadric(drawStyle, smooth);
    if (quadric.get())
        gluCylinder(quadric.get(), base, top, height, slices, stacks);
}

void Cube(double s, GLenum primitive) {
    GLGeometrySink sink;
    PrimitiveGeometry::Box(sink, -s / 2, s / 2, -s / 2, s / 2, -s / 2, s / 2, primitive);
}

void Triangles(const TriangleTable& table, double radius, GLenum primitive, TransformStack& stack) {
    GLGeometrySink sink;
    PrimitiveGeometry::TriangleSolid(sink, table, radius, primitive, stack);
}

} // namespace

Primitives::Primitives() = default;

// The lists go with the object (DisplayList frees its own name).
Primitives::~Primitives() = default;

// Draws the new list at the same time as it compiles it; when no list can be had, build
// draws immediately. A template so that a frame's replay allocates nothing.
template <typename Build>
void Primitives::Cached(Kind kind, std::initializer_list<double> params, const Build& build) {
    auto& entries = m_Cache[kind];
    for (const CacheEntry& entry : entries) {
        if (std::equal(entry.params.begin(), entry.params.end(), params.begin(), params.end())) {
            entry.list.Call();
            return;
        }
    }
    DisplayList list = DisplayList::Generate();
    if (!list.IsValid()) {
        build();
        return;
    }
    glNewList(list.Id(), GL_COMPILE_AND_EXECUTE);
    build();
    glEndList();
    entries.push_front(CacheEntry{std::vector<double>(params), std::move(list)});
}

void Primitives::WireSphere(double radius) {
    Cached(kWireSphere, {radius}, [=] { QuadricSphere(GLU_LINE, false, radius); });
}

void Primitives::SolidSphere(double radius) {
    Cached(kSolidSphere, {radius}, [=] { QuadricSphere(GLU_FILL, true, radius); });
}

void Primitives::WireCylinder(double radius, double height) {
    Cached(kWireCylinder, {radius, height},
           [=] { QuadricCylinder(GLU_LINE, false, radius, radius, height, 12, 2); });
}

void Primitives::SolidCylinder(double radius, double height) {
    Cached(kSolidCylinder, {radius, height},
           [=] { QuadricCylinder(GLU_FILL, true, radius, radius, height, 12, 2); });
}

void Primitives::LineCone(double baseRadius, double height) {
    Cached(kLineCone, {baseRadius, height},
           [=] { QuadricCylinder(GLU_LINE, false, baseRadius, 0.0, height, 15, 10); });
}

void Primitives::WireCube(double s) {
    Cached(kWireCube, {s}, [=] { Cube(s, GL_LINE_LOOP); });
}

void Primitives::SolidCube(double s) {
    Cached(kSolidCube, {s}, [=] { Cube(s, GL_QUADS); });
}

void Primitives::SolidBox(double width, double height, double depth) {
    Cached(kSolidBox, {width, height, depth}, [=] {
        GLGeometrySink sink;
        PrimitiveGeometry::Box(sink, -width / 2, width / 2, -height / 2, height / 2, -depth / 2,
                               depth / 2, GL_QUADS);
    });
}

void Primitives::SolidTorus(double tubeRadius, double ringRadius) {
    Cached(kSolidTorus, {tubeRadius, ringRadius}, [=] {
        GLGeometrySink sink;
        PrimitiveGeometry::Torus(sink, tubeRadius, ringRadius, 8, 15, GL_QUADS);
    });
}

void Primitives::WireTetrahedron(double radius) {
    Cached(kWireTetrahedron, {radius}, [=, this] {
        Triangles(PrimitiveGeometry::Tetrahedron(), radius, GL_LINE_LOOP, m_Stack);
    });
}

void Primitives::SolidTetrahedron(double radius) {
    Cached(kSolidTetrahedron, {radius}, [=, this] {
        Triangles(PrimitiveGeometry::Tetrahedron(), radius, GL_TRIANGLES, m_Stack);
    });
}

void Primitives::SolidOctahedron(double radius) {
    Cached(kSolidOctahedron, {radius}, [=, this] {
        Triangles(PrimitiveGeometry::Octahedron(), radius, GL_TRIANGLES, m_Stack);
    });
}

void Primitives::SolidIcosahedron(double radius) {
    Cached(kSolidIcosahedron, {radius}, [=, this] {
        Triangles(PrimitiveGeometry::Icosahedron(), radius, GL_TRIANGLES, m_Stack);
    });
}

void Primitives::SolidDodecahedron(double radius) {
    Cached(kSolidDodecahedron, {radius}, [=, this] {
        GLGeometrySink sink;
        PrimitiveGeometry::Dodecahedron(sink, radius, m_Stack);
    });
}

void Primitives::FreeCachedLists() {
    for (auto& entries : m_Cache)
        entries.clear();
}

void Primitives::SetMessageBoxes(bool enabled) {
    PrimitiveError::SetMessageBoxes(enabled);
}

int Primitives::CachedListCount(Kind kind) const {
    return static_cast<int>(std::distance(m_Cache[kind].begin(), m_Cache[kind].end()));
}

int Primitives::CachedListCount() const {
    int count = 0;
    for (int kind = 0; kind < kKindCount; ++kind)
        count += CachedListCount(static_cast<Kind>(kind));
    return count;
}
