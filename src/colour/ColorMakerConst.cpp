#include "colour/ColorMakerConst.h"

#include "core/Random.h"

ColorMakerConst::ColorMakerConst(Random& rng, const ColourTable& table)
    : ColorMaker(rng, table), m_Index(rng.below(m_ColourCount)) {}

Color ColorMakerConst::MakeColor(const FloatArray& /*parameter*/) {
    return TableColor(m_Index);
}
