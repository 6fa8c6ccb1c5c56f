#include "colour/ColorMakerCheckered.h"

#include "core/Random.h"
#include "patterns/PatternMath.h"

#include <cmath>

ColorMakerCheckered::ColorMakerCheckered(Random& rng, const ColourTable& table)
    : ColorMaker(rng, table) {
    m_IndexA = rng.below(m_ColourCount);
    m_IndexB = rng.below(m_ColourCount);
    m_Cells = 2 << rng.below(4);
}

Color ColorMakerCheckered::MakeColor(const FloatArray& parameter) {
    const float u = !parameter.empty() ? parameter[0] : 0.0f;
    const float v = parameter.size() > 1 ? parameter[1] : 0.0f;
    const int cx = TruncToInt(std::floor((u + 1.0f) / 2.0f * static_cast<float>(m_Cells)));
    const int cy = TruncToInt(std::floor((v + 1.0f) / 2.0f * static_cast<float>(m_Cells)));
    // The difference's low bit is the parity test, also for cells left of -1.
    const bool same = ((static_cast<unsigned>(cx) - static_cast<unsigned>(cy)) & 1u) == 0;
    return TableColor(same ? m_IndexA : m_IndexB);
}
