#pragma once

#include "meshes/PolyVertex.h"

#include <vector>

// An ordered polygon of vertices: four for the grid generators, any number for the
// extrusions. Front faces wind counter-clockwise seen from outside.
class PolyFacet {
public:
    explicit PolyFacet(int size = 0) : m_Vertices(static_cast<size_t>(size)) {}

    int Size() const { return static_cast<int>(m_Vertices.size()); }
    PolyVertex& operator[](int i) { return m_Vertices[static_cast<size_t>(i)]; }
    const PolyVertex& operator[](int i) const { return m_Vertices[static_cast<size_t>(i)]; }
    const std::vector<PolyVertex>& Vertices() const { return m_Vertices; }

    // Sets every vertex's normal to the facet's unit normal by Newell's method over the
    // vertices in order (forward) or in reverse order (backward, the opposite normal). A
    // degenerate facet gets the raw (zero) vector; fewer than three vertices change nothing.
    void SetFlatNormal(bool forward);

private:
    std::vector<PolyVertex> m_Vertices;
};
