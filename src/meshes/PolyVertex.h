#pragma once

#include "core/Color.h"

#include <array>

class ColorMaker;

// One vertex of a generated mesh: position in mesh units (the mesh shape scales it), unit
// normal, texture coordinates s, t in [0, 1] on a grid, and a per-vertex colour that is
// (0, 0, 0, 0) when no colour maker was given.
struct PolyVertex {
    std::array<float, 3> position{};
    std::array<float, 3> normal{};
    float s = 0.0f;
    float t = 0.0f;
    Color colour{0.0f, 0.0f, 0.0f, 0.0f};
    bool hasNormal = false;

    PolyVertex() = default;
    // The normal is stored divided by its length (a zero normal stays zero). A colour maker
    // colours the vertex at (2s - 1, |2t - 1|), so colours mirror about t = 0.5.
    PolyVertex(float x, float y, float z, float nx, float ny, float nz, float s, float t,
               ColorMaker* maker);

    // Stores the normal as given.
    void SetNormal(float x, float y, float z);
    void FlipS() { s = 1.0f - s; }
    void FlipT() { t = 1.0f - t; }
};
