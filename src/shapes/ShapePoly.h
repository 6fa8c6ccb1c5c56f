#pragma once

#include "meshes/Poly.h"
#include "shapes/ShapePolyBase.h"

// The mesh shape of the shape factory (kind 10): a random mesh of the mesh factory at a
// resolution that grows with the machine's performance (4 to 16, even, at performance 1),
// on plain scenes sometimes wearing a procedural texture.
//
// Its clones are ShapePolyBase copies drawing its list.
class ShapePoly : public ShapePolyBase {
public:
    // What the shape reads from the scene being composed.
    struct Scene {
        MeshContext mesh;
        bool plain = false;       // there is a scene and its kind is plain
        double performance = 1.0; // the settings' performance factor, not capped
        MotionContext motion;
    };

    // Draws, in order: the animated base and size, the texture decision (plain scenes only:
    // a texture with odds 0.5 x min(performance, 1)), the resolution, the mesh; then builds
    // the mesh and its list (needs a current GL context).
    ShapePoly(Random& rng, const Scene& scene);
    // The factory's: the scene, table and gate from the context; without a table the colours
    // come from a fixed table, without settings the performance is 1.
    ShapePoly(Random& rng, const ShapeContext& context);

    // The resolution for a draw below(int(13 p)), made even: 4 .. 16 at p = 1.
    static int Resolution(Random& rng, double performance);
};
