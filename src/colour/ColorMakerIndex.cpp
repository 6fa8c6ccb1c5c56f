#include "colour/ColorMakerIndex.h"

#include "core/Random.h"

ColorMakerIndex::ColorMakerIndex(Random& rng, const ColourTable& table) : ColorMaker(rng, table) {
    m_Index = rng.below(m_ColourCount);
    m_Step = rng.skewed(m_ColourCount / 2, 8) + 1;
}

Color ColorMakerIndex::MakeColor(const FloatArray& /*parameter*/) {
    const Color colour = TableColor(m_Index);
    m_Index = (m_Index + m_Step) % m_ColourCount;
    return colour;
}
