#pragma once

#include "patterns/PatternCalculator.h"

// Bands of a sum of sines: each input adds trunc(w (sin(u scale) + 1) / 2) to a running
// count, and the count's residue modulo m gives one of the m values 0, 1/m .. (m - 1)/m.
class PatternCheckered : public PatternCalculator {
public:
    PatternCheckered(Random& rng, const PatternContext& context); // scale, m, offset

    void Randomize(int inputs, int outputs, bool regular,
                   int bias) override; // one weight per input
    void Calculate(const FloatArray& inputs, FloatArray& outputs) override;
    int Channels(int) const override { return 1; }

    float Scale() const { return m_Scale; }
    int Modulus() const { return m_Modulus; }
    int Offset() const { return m_Offset; }
    const std::vector<int>& Weights() const { return m_Weights; }

private:
    float m_Scale;              // 1 .. 10
    int m_Modulus;              // m, 2 .. 9
    int m_Offset;               // 0 .. m - 1
    std::vector<int> m_Weights; // 2 .. 101 each
};
