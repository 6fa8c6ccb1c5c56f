#pragma once

#include "meshes/Poly.h"
#include "shapes/ShapePolyBase.h"

#include <string>

// The photograph shape (kind 12 of the shape factory): the user's next picture stretched
// once over each surface of a mesh made without random options (every cell of its grid; a
// cube shows the whole picture on each face). Any mesh kind but the beads. Uploading and
// drawing a photograph costs more than its facets suggest, so it reports at least
// MinPolygons to the scene's budget. Without a picture that can be shown the mesh is drawn
// untextured.
class ShapePhotoCube : public ShapePolyBase {
public:
    // What the shape reads from the scene being composed.
    struct Scene {
        MeshContext mesh;
        std::string imagePath; // the next picture, "" when there is none
        int sceneWidth = 800;  // a JPEG wider than this decodes scaled down
        MotionContext motion;
    };

    // Draws, in order: the animated base with a random rotater and its size, the mesh (at
    // resolution 64, beads excluded), the size 0.5 .. 1.5; then builds the mesh, moves the
    // picture into a texture object (freeing the decoded copy) and compiles the list that
    // binds it (needs a current GL context).
    ShapePhotoCube(Random& rng, const Scene& scene);
    // The factory's: table, gate, next picture and width from the context; without a table
    // the mesh colours come from the mesh shapes' fixed table.
    ShapePhotoCube(Random& rng, const ShapeContext& context);

    std::unique_ptr<Shape> Clone() const override;
    // The master's facets, at least MinPolygons.
    int PolygonCount() const override;

    static constexpr int MinPolygons = 1250;
    static constexpr int Resolution = 64;
    // Mesh kinds never used: the two beads and the spare sphere kinds.
    static const std::vector<int>& ExcludedMeshKinds();

private:
    ShapePhotoCube(const ShapePhotoCube& source) = default;
};
