#pragma once

#include "patterns/PatternCalculator.h"

#include <array>

// Chains of frequency-modulated sines of one input, summed or multiplied over the chains and
// normalised to about [-1, 1]. Mesh generators also use it directly as a profile function.
class PatternSinFM : public PatternCalculator {
public:
    static constexpr int kMax = 10; // chains and stages per chain

    PatternSinFM(Random& rng, const PatternContext& context);

    // Draws until some frequency exceeds 1, or until the gate says stop (then it stays
    // unrandomized, keeping the last draw). bias 1: one stage, sum and phase modes.
    void Randomize(int inputs, int outputs, bool regular, int bias) override;
    // Output 0 := Evaluate(input 0) / 2 + 1/2; further inputs are ignored.
    void Calculate(const FloatArray& inputs, FloatArray& outputs) override;
    int Channels(int) const override { return 1; }

    float Evaluate(float x) const; // about [-1, 1]
    float Slope(float x) const;    // from the first stage of each chain only

    bool SumMode() const { return m_bSum; }
    bool PhaseMode() const { return m_bPhase; }
    int Stages() const { return m_Stages; }
    int Chains() const { return m_Chains; }
    float Amplitude(int chain, int stage) const { return m_Amp[chain][stage]; }
    float Frequency(int chain, int stage) const { return m_Freq[chain][stage]; }
    float Phase(int chain, int stage) const { return m_Phase[chain][stage]; }

private:
    using Grid = std::array<std::array<float, kMax>, kMax>; // [chain][stage]

    // One round of draws; returns the largest frequency drawn.
    float Draw(bool regular, int bias);

    bool m_bSum = true;
    int m_Stages = 1; // S
    int m_Chains = 1; // R
    bool m_bPhase = true;
    Grid m_Amp{};
    Grid m_Freq{};
    Grid m_Phase{};
};
