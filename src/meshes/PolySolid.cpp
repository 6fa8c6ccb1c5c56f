#include "meshes/PolySolid.h"

#include "colour/ColorMaker.h"

#include <algorithm>

PolySolid::PolySolid(Random& rng, int resolution, bool randomOptions, const MeshContext& context,
                     ColorMaker* maker)
    : Poly(rng, randomOptions, context), m_Rows(m_bAllRows ? resolution : std::min(resolution, 16)),
      m_Columns(resolution), m_pColorMaker(maker) {
    if (m_pColorMaker != nullptr)
        return;
    // Any maker but the index one (kind 0).
    const std::vector<int> excluded = {0};
    m_pOwnedColorMaker = ColorMaker::Create(rng, &excluded, context.table, context.gate,
                                            context.developerMode, context.sceneSize);
    m_pColorMaker = m_pOwnedColorMaker.get();
    m_pColorMaker->Prepare(m_Rows, m_Columns);
}

PolySolid::~PolySolid() = default;

void PolySolid::Reset() {
    Poly::Reset();
    m_Row = 0;
    m_Column = 0;
    m_Stage = 0;
}

bool PolySolid::CellAllowed(int i, int j) const {
    if (m_bAllRows && m_bAllColumns)
        return true;
    if (m_bAllColumns)
        return i % 2 == 0;
    if (m_bAllRows)
        return j % 2 == 0;
    return i % 2 == 0 || j % 2 == 0;
}
