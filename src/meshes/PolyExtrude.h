#pragma once

#include "meshes/PolySolid.h"

// A flat outline swept from a bottom plane to a top plane; the rows N count the outline's
// sides (the columns are not used). Facets are polygons with flat normals.
class PolyExtrude : public PolySolid {
public:
    PolyPrimitive FacetPrimitive() const override { return PolyPrimitive::Polygon; }

    enum Kind { kPoly = 0, kStar = 1, kCog = 2 };

    // The extrusion factory: plain polygon 100, star 50, cog 50, drawn with
    // choose(rng, none, 10); kinds without a class build the plain polygon.
    static std::unique_ptr<PolyExtrude> Create(Random& rng, int resolution,
                                               const MeshContext& context);
    static std::unique_ptr<PolyExtrude> CreateKind(int kind, Random& rng, int resolution,
                                                   const MeshContext& context);
    static std::vector<float> KindWeights();

protected:
    // Always with random options.
    PolyExtrude(Random& rng, int resolution, const MeshContext& context, ColorMaker* maker)
        : PolySolid(rng, resolution, true, context, maker) {}
};
