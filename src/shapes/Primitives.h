#pragma once

#include <GL/gl.h>

// The drawing routines of the primitive solids. Each draws at the origin in the current GL
// matrix and keeps one display list per distinct parameter set: the first call with given
// sizes compiles the geometry (and draws it), later calls replay the list. Sizes are
// compared exactly. Needs a current GL context.
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
    static void WireSphere(double radius);
    static void SolidSphere(double radius);
    static void WireCylinder(double radius, double height);
    static void SolidCylinder(double radius, double height);
    static void LineCone(double baseRadius, double height);

    // Cube of edge s and box of the given extents, centred on the origin.
    static void WireCube(double s);
    static void SolidCube(double s);
    static void SolidBox(double width, double height, double depth);

    // Torus around the z axis, 8 sides and 15 rings.
    static void SolidTorus(double tubeRadius, double ringRadius);

    // Platonic solids with their vertices on the sphere of the given radius (the
    // dodecahedron's just outside it, at 1.0012 times the radius).
    static void WireTetrahedron(double radius);
    static void SolidTetrahedron(double radius);
    static void SolidOctahedron(double radius);
    static void SolidIcosahedron(double radius);
    static void SolidDodecahedron(double radius);

    // Deletes every cached list; called before the GL context goes away.
    static void FreeCachedLists();
    // Whether the routines' fatal errors show a message box before the process ends.
    static void SetMessageBoxes(bool enabled);

    // Number of lists in the cache, of one kind or of all.
    static int CachedListCount(Kind kind);
    static int CachedListCount();
};
