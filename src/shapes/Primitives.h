#pragma once

#include "gl/DisplayList.h"
#include "shapes/TransformStack.h"

#include <GL/gl.h>

#include <array>
#include <forward_list>
#include <initializer_list>
#include <vector>

// The drawing routines of the primitive solids and the display lists they keep for one GL
// context. Each draws at the origin in the current GL matrix and keeps one list per
// distinct parameter set: the first call with given sizes compiles the geometry (and draws
// it), later calls replay the list. Sizes are compared exactly. The context's owner holds
// the object, so lists never cross contexts; it must be current whenever the object draws
// or frees, including when it is destroyed.
class Primitives {
public:
    // Cache kinds: one per routine, so a wire and a solid of equal size never share a list.
    enum Kind {
        kWireSphere = 0,
        kWireCube = 1,
        kWireCylinder = 4,
        kWireTetrahedron = 7,
        kLineCone = 9,
        kSolidSphere = 10,
        kSolidCube = 11,
        kSolidBox = 12,
        kSolidTorus = 13,
        kSolidCylinder = 14,
        kSolidIcosahedron = 15,
        kSolidOctahedron = 16,
        kSolidTetrahedron = 17,
        kSolidDodecahedron = 18,
        kKindCount = 25,
    };

    // Quadric spheres: 16 slices and stacks. Quadric cylinders and cones stand on the origin
    // and reach along +z to the height, with open ends.
    Primitives();
    ~Primitives();
    Primitives(const Primitives&) = delete;
    Primitives& operator=(const Primitives&) = delete;

    void WireSphere(double radius);
    void SolidSphere(double radius);
    void WireCylinder(double radius, double height);
    void SolidCylinder(double radius, double height);
    void LineCone(double baseRadius, double height);

    // Cube of edge s and box of the given extents, centred on the origin.
    void WireCube(double s);
    void SolidCube(double s);
    void SolidBox(double width, double height, double depth);

    // Torus around the z axis, 8 sides and 15 rings.
    void SolidTorus(double tubeRadius, double ringRadius);

    // Platonic solids with their vertices on the sphere of the given radius (the
    // dodecahedron's just outside it, at 1.0012 times the radius).
    void WireTetrahedron(double radius);
    void SolidTetrahedron(double radius);
    void SolidOctahedron(double radius);
    void SolidIcosahedron(double radius);
    void SolidDodecahedron(double radius);

    // Deletes every cached list.
    void FreeCachedLists();
    // Whether the routines' fatal errors show a message box before the process ends.
    static void SetMessageBoxes(bool enabled);

    // Number of lists in the cache, of one kind or of all.
    int CachedListCount(Kind kind) const;
    int CachedListCount() const;

private:
    struct CacheEntry {
        std::vector<double> params;
        DisplayList list;
    };
    // Replays the list of (kind, params) or compiles build into a new one.
    template <typename Build>
    void Cached(Kind kind, std::initializer_list<double> params, const Build& build);

    std::array<std::forward_list<CacheEntry>, kKindCount> m_Cache;
    // The routines' own matrix stack; only the dodecahedron moves off its identity level.
    TransformStack m_Stack;
};
