#include "meshes/SinProfiles.h"

#include "colour/ColourTable.h"
#include "patterns/PatternSinFM.h"

namespace {

std::unique_ptr<PatternSinFM> MakeProfile(Random& rng, const PatternContext& context,
                                          bool regular) {
    auto pattern = std::make_unique<PatternSinFM>(rng, context);
    pattern->Randomize(0, 0, regular, 1);
    return pattern;
}

PatternContext PatternContextOf(const MeshContext& context) {
    return {context.table.colourCount(), context.table.bandCount(), context.developerMode,
            context.gate, context.sceneSize};
}

void SampleEdges(const PatternSinFM& pattern, int count, std::vector<float>& values,
                 std::vector<float>& slopes) {
    values.resize(static_cast<size_t>(count) + 1);
    slopes.resize(static_cast<size_t>(count) + 1);
    for (int k = 0; k <= count; ++k) {
        const float x = 2.0f * static_cast<float>(k) / static_cast<float>(count) - 1.0f;
        values[static_cast<size_t>(k)] = pattern.Evaluate(x);
        slopes[static_cast<size_t>(k)] = pattern.Slope(x);
    }
}

} // namespace

SinProfiles::SinProfiles(Random& rng, const MeshContext& context, bool regular)
    : m_pA(MakeProfile(rng, PatternContextOf(context), regular)),
      m_pB(MakeProfile(rng, PatternContextOf(context), regular)) {}

SinProfiles::~SinProfiles() = default;

void SinProfiles::Sample(int rows, int columns) {
    if (m_A.size() == static_cast<size_t>(rows) + 1 &&
        m_B.size() == static_cast<size_t>(columns) + 1)
        return;
    SampleEdges(*m_pA, rows, m_A, m_ASlope);
    SampleEdges(*m_pB, columns, m_B, m_BSlope);
}
