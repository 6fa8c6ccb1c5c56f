#pragma once

#include "meshes/PolyExtrudeStar.h"

// A cog wheel of 12 to 20 sides (a multiple of 4): vertices in pairs on the rim (radius 1)
// and at the inner ratio k, so each tooth is flat-topped.
class PolyExtrudeCog : public PolyExtrudeStar {
public:
    PolyExtrudeCog(Random& rng, int resolution, const MeshContext& context);

protected:
    float VertexRadius(int vertex) const override;
};
