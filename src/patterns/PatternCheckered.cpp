#include "patterns/PatternCheckered.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "patterns/PatternMath.h"

#include <algorithm>
#include <cmath>

PatternCheckered::PatternCheckered(Random& rng, const PatternContext& context)
    : PatternCalculator(rng, context) {
    m_Scale = static_cast<float>(rng.below(10) + 1);
    m_Modulus = rng.skewed(8, 3) + 2;
    m_Offset = rng.below(m_Modulus);
}

void PatternCheckered::Randomize(int inputs, int /*outputs*/, bool /*regular*/, int /*bias*/) {
    if (m_bRandomized)
        return;
    m_Weights.clear();
    for (int i = 0; i < inputs; ++i)
        m_Weights.push_back(Rand().below(100) + 2);
    m_bRandomized = true;
}

void PatternCheckered::Calculate(const FloatArray& inputs, FloatArray& outputs) {
    const std::size_t count = std::min(inputs.size(), m_Weights.size());
    int s = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const float w = static_cast<float>(m_Weights[i]);
        s = TruncToInt(w * (maths::Sin(inputs[i] * m_Scale) + 1.0f) / 2.0f + static_cast<float>(s));
    }
    outputs[0] = static_cast<float>((m_Offset + s) % m_Modulus) / static_cast<float>(m_Modulus);
}
