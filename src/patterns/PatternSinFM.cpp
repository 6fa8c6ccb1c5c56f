#include "patterns/PatternSinFM.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "patterns/PatternMath.h"

#include <algorithm>
#include <cmath>

namespace {

int Sign(Random& rng) {
    return rng.below(2) == 1 ? 1 : -1;
}

// The running total after each chain: tiny values vanish, huge ones are capped positive.
float Clamp(float total) {
    if (std::fabs(total) < 1e-10f)
        return 0.0f;
    if (std::fabs(total) > 1000.0f)
        return 1000.0f;
    return total;
}

} // namespace

PatternSinFM::PatternSinFM(Random& rng, const PatternContext& context)
    : PatternCalculator(rng, context) {}

float PatternSinFM::Draw(bool regular, int bias) {
    Random& rng = Rand();
    m_bSum = bias == 1 || rng.uniform() < 0.9;
    m_bPhase = bias == 1 || rng.flip() == 1;
    m_Stages = bias == 1 ? 1 : rng.skewed(10, 7) + 1;
    m_Chains = rng.below(10) + 1;
    const bool whole = regular || rng.uniform() < 0.3333;
    float largest = 0.0f;
    for (int r = 0; r < m_Chains; ++r) {
        for (int s = 0; s < m_Stages; ++s) {
            float amp = static_cast<float>(6.0 * rng.symmetric());
            const int k = rng.skewed(6, 4);
            float freq = static_cast<float>(rng.uniform() * (k + 1));
            const float phase = regular ? 0.0f : static_cast<float>(kPi * rng.symmetric());
            if (whole) {
                amp = std::floor(amp + 0.5f);
                if (amp == 0.0f)
                    amp = static_cast<float>(Sign(rng));
                freq = std::max(std::floor(freq + 0.5f), 1.0f);
            }
            m_Amp[r][s] = amp;
            m_Freq[r][s] = freq;
            m_Phase[r][s] = phase;
            largest = std::max(largest, freq);
        }
    }
    return largest;
}

void PatternSinFM::Randomize(int /*inputs*/, int /*outputs*/, bool regular, int bias) {
    if (m_bRandomized)
        return;
    for (;;) {
        if (Draw(regular, bias) > 1.0f) {
            m_bRandomized = true;
            return;
        }
        if (!CanGoOn())
            return;
    }
}

float PatternSinFM::Evaluate(float x) const {
    float total = m_bSum ? 0.0f : 1.0f;
    float norm = total;
    const int last = m_Stages - 1;
    for (int r = 0; r < m_Chains; ++r) {
        float v = m_Amp[r][0] * maths::Sin(m_Phase[r][0] + x * m_Freq[r][0] * kPiF);
        for (int s = 1; s < m_Stages; ++s) {
            const float modulator = m_bPhase ? v * m_Freq[r][s] : v * x;
            v = m_Amp[r][s] * maths::Sin(m_Phase[r][s] + modulator * kPiF);
        }
        if (m_bSum) {
            total += v;
            norm += std::fabs(m_Amp[r][last]);
        } else {
            total *= v;
            norm *= std::fabs(m_Amp[r][last]);
        }
        total = Clamp(total);
    }
    return norm != 0.0f ? total / norm : total;
}

float PatternSinFM::Slope(float x) const {
    float total = 0.0f;
    float norm = 0.0f;
    for (int r = 0; r < m_Chains; ++r) {
        total +=
            maths::Cos(m_Phase[r][0] + x * m_Freq[r][0] * kPiF) * m_Amp[r][0] * m_Freq[r][0] * kPiF;
        total = Clamp(total);
        norm += std::fabs(m_Amp[r][0]);
    }
    return norm != 0.0f ? total / norm : total;
}

void PatternSinFM::Calculate(const FloatArray& inputs, FloatArray& outputs) {
    outputs[0] = Evaluate(Input(inputs, 0)) * 0.5f + 0.5f;
}
