#include "colour/ColorMakerCalc.h"

#include "colour/ColourTable.h"
#include "patterns/PatternMath.h"

#include <algorithm>

ColorMakerCalc::ColorMakerCalc(Random& rng, const ColourTable& table, DrawGate* gate,
                               bool developerMode, int sceneSize)
    : ColorMaker(rng, table), m_Output(1, 0.0f) {
    const PatternContext context{table.colourCount(), table.bandCount(), developerMode, gate,
                                 sceneSize};
    m_pPattern = PatternCalculator::Create(rng, 1, true, context);
    if (m_pPattern)
        m_pPattern->Randomize(2, 1, true, 2);
}

Color ColorMakerCalc::MakeColor(const FloatArray& parameter) {
    m_Output[0] = 0.0f;
    if (m_pPattern)
        m_pPattern->Calculate(parameter, m_Output);
    const float top = static_cast<float>(m_ColourCount - 1);
    // A value a little outside [0, 1] still lands on the table.
    const int index = std::clamp(TruncToInt(std::floor(top * m_Output[0])), 0, m_ColourCount - 1);
    return TableColor(index);
}

void ColorMakerCalc::Prepare(int rows, int columns) {
    if (m_pPattern)
        m_pPattern->Prepare(rows, columns);
}
