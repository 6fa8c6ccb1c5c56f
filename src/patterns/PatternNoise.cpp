#include "patterns/PatternNoise.h"

#include "core/Random.h"

#include <algorithm>

namespace {
// n evenly spaced points over [-1, 1].
FloatArray Spread(int n) {
    FloatArray points(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        points[static_cast<std::size_t>(i)] =
            static_cast<float>(2 * i) / static_cast<float>(n - 1) - 1.0f;
    return points;
}
} // namespace

PatternNoise::PatternNoise(Random& rng, const PatternContext& context)
    : PatternCalculator(rng, context), m_Kind(rng.below(2)) {}

void PatternNoise::Randomize(int /*inputs*/, int /*outputs*/, bool /*regular*/, int /*bias*/) {
    if (m_bRandomized)
        return;
    Random& rng = Rand();
    m_Nx = 2 << rng.below(7);
    m_Ny = 2 << rng.below(7);
    m_Nodes.resize(static_cast<std::size_t>(m_Nx * m_Ny));
    for (float& node : m_Nodes)
        node = static_cast<float>(rng.uniform());
    const FloatArray knots = Spread(m_Nx);
    m_Positions = Spread(m_Ny);
    m_Columns.clear();
    FloatArray values(static_cast<std::size_t>(m_Nx));
    for (int j = 0; j < m_Ny; ++j) {
        for (int i = 0; i < m_Nx; ++i)
            values[static_cast<std::size_t>(i)] = Node(i, j);
        m_Columns.push_back(Interpolator::Create(m_Kind, knots, values));
    }
    m_Across.assign(static_cast<std::size_t>(m_Ny), 0.0f);
    // Every slot gets its arrays now, so that queries only refill them.
    m_Cross.resize(kCrossSlots);
    for (Cross& cross : m_Cross)
        cross.curve = Interpolator::Create(m_Kind, m_Positions, m_Across);
    m_bRandomized = true;
}

int PatternNoise::FindCross(float y) const {
    for (std::size_t k = 0; k < m_Cross.size(); ++k) {
        if (m_Cross[k].built && m_Cross[k].y == y)
            return static_cast<int>(k);
    }
    return -1;
}

int PatternNoise::BuildCross(float y) {
    const int k = m_NextSlot;
    m_NextSlot = (m_NextSlot + 1) % static_cast<int>(m_Cross.size());
    for (std::size_t j = 0; j < m_Columns.size(); ++j)
        m_Across[j] = m_Columns[j]->Value(y);
    Cross& cross = m_Cross[static_cast<std::size_t>(k)];
    cross.curve->SetPoints(m_Positions, m_Across);
    cross.y = y;
    cross.built = true;
    return k;
}

void PatternNoise::Calculate(const FloatArray& inputs, FloatArray& outputs) {
    if (m_Cross.empty()) {
        outputs[0] = 0.0f; // not randomized
        return;
    }
    const float y = Input(inputs, 1);
    if (m_Current < 0 || y != m_LastY) {
        m_LastY = y;
        m_Current = FindCross(y);
        if (m_Current < 0)
            m_Current = BuildCross(y);
    }
    const float v = m_Cross[static_cast<std::size_t>(m_Current)].curve->Value(Input(inputs, 0));
    outputs[0] = std::clamp(v, 0.0f, 1.0f);
}
