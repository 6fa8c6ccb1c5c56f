#pragma once

#include "core/DrawGate.h"
#include "meshes/Poly.h"
#include "meshes/PolyFacet.h"
#include "meshes/UsesPoly.h"

#include <memory>

// A generator over a grid of N rows by M columns, each vertex coloured by a colour maker.
//
// Cell rule: with all rows and all columns every cell is made; without all rows only the
// cells of even rows, without all columns only those of even columns, without both only
// the cells where the row or the column is even.
class PolySolid : public Poly {
public:
    ~PolySolid() override;

    ColorMaker* GetColorMaker() const override { return m_pColorMaker; }
    void Reset() override;

    int Rows() const { return m_Rows; }
    int Columns() const { return m_Columns; }
    bool IsFinished() const { return m_Stage == kFinished; }
    bool CellAllowed(int i, int j) const;

protected:
    // N = M = resolution, N at most 16 without all rows. A given colour maker is used, not
    // owned (it must outlive the generator); otherwise one is made (any kind but 0) and told
    // the grid size.
    PolySolid(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
              ColorMaker* maker = nullptr);

    struct SurfacePoint {
        float x, y, z;    // position
        float nx, ny, nz; // normal, any length
    };

    // The walk of every grid generator but the cube: rows startRow .. endRow - 1 (taken up
    // again where a stopped walk left off), each allowed cell one facet of the points at
    // row edges i, i + 1 and column edges j, j + 1 from pointAt(rowEdge, columnEdge). Asks
    // the gate before every row and cell; a refused facet ends the walk for good.
    template <class PointAt>
    void WalkGrid(UsesPoly& sink, int startRow, int endRow, PointAt pointAt);

    // Fills the reusable facet with cell (i, j): vertices (i, j), (i, j + 1), (i + 1, j + 1),
    // (i + 1, j) with texture coordinates (i / N, j / M) and so on.
    template <class PointAt> const PolyFacet& Cell(int i, int j, PointAt pointAt);
    PolyVertex MakeVertex(const SurfacePoint& p, float s, float t) const {
        return PolyVertex(p.x, p.y, p.z, p.nx, p.ny, p.nz, s, t, m_pColorMaker);
    }

    static constexpr int kFinished = 3;

    int m_Row = 0;
    int m_Column = 0;
    int m_Rows;
    int m_Columns;
    ColorMaker* m_pColorMaker = nullptr;
    int m_Stage = 0;
    PolyFacet m_Facet{4};

private:
    std::unique_ptr<ColorMaker> m_pOwnedColorMaker;
};

template <class PointAt> const PolyFacet& PolySolid::Cell(int i, int j, PointAt pointAt) {
    const float s0 = static_cast<float>(i) / static_cast<float>(m_Rows);
    const float s1 = static_cast<float>(i + 1) / static_cast<float>(m_Rows);
    const float t0 = static_cast<float>(j) / static_cast<float>(m_Columns);
    const float t1 = static_cast<float>(j + 1) / static_cast<float>(m_Columns);
    m_Facet[0] = MakeVertex(pointAt(i, j), s0, t0);
    m_Facet[1] = MakeVertex(pointAt(i, j + 1), s0, t1);
    m_Facet[2] = MakeVertex(pointAt(i + 1, j + 1), s1, t1);
    m_Facet[3] = MakeVertex(pointAt(i + 1, j), s1, t0);
    return m_Facet;
}

template <class PointAt>
void PolySolid::WalkGrid(UsesPoly& sink, int startRow, int endRow, PointAt pointAt) {
    if (m_Stage == kFinished)
        return;
    if (m_Stage == 0) {
        m_Row = startRow;
        m_Column = 0;
        m_Stage = 1;
    }
    while (m_Row < endRow) {
        if (!CanGoOn(Gate()))
            return;
        for (; m_Column < m_Columns; ++m_Column) {
            if (!CanGoOn(Gate()))
                return;
            if (!CellAllowed(m_Row, m_Column))
                continue;
            if (!sink.AddFacet(Cell(m_Row, m_Column, pointAt))) {
                m_Stage = kFinished;
                return;
            }
        }
        m_Column = 0;
        ++m_Row;
    }
    m_bComplete = true;
    m_Stage = kFinished;
}
