#pragma once

#include "meshes/PolySolid.h"

#include <array>

// A cube of edge sqrt(2) around the origin, each face subdivided into the grid's cells, every
// face with its outward normal. Without random options the grid is 1 x 1 and all six faces
// are on; with them the grid is resolution / 2 (1 to 32) and each face is on with odds 1/4,
// except that the -z face is on whenever another face is off.
class PolyCube : public PolySolid {
public:
    PolyCube(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
             ColorMaker* maker = nullptr);

    // Up to six facets per allowed cell, in the order -z, +y, -x, +z, -y, +x. Asks the gate
    // before each row only; keeps going when the sink refuses a facet; a stopped run takes
    // up again at its row.
    void Generate(UsesPoly& sink) override;
    bool WantsVertexColors() const override { return true; }
    float Radius() const override { return 2.0f; }

    enum Face { kMinusZ, kPlusY, kMinusX, kPlusZ, kMinusY, kPlusX, kFaceCount };
    bool FaceOn(Face face) const { return m_Faces[face]; }

    // The grid size for a resolution.
    static int GridSize(int resolution, bool randomOptions);

private:
    void FaceFacet(Face face, float a0, float a1, float b0, float b1, float s0, float s1, float t0,
                   float t1);

    std::array<bool, kFaceCount> m_Faces{};
    float m_EdgeScale = 1.0f;
};
