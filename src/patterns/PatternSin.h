#pragma once

#include "patterns/BinOp.h"
#include "patterns/PatternCalculator.h"

#include <memory>

// Two crossed sines, each optionally modulating the other's amplitude, frequency or phase,
// combined by a random BinOp. With one input, a plain sine of x.
class PatternSin : public PatternCalculator {
public:
    PatternSin(Random& rng, const PatternContext& context); // draws the BinOp

    // Uses only regular: whole amplitudes and frequencies 1 .. 6 and phases -0.5.
    void Randomize(int inputs, int outputs, bool regular, int bias) override;
    void Calculate(const FloatArray& inputs, FloatArray& outputs) override;
    int Channels(int) const override { return 1; }

    struct Wave {
        float a = 0, b = 0, c = 0; // x amplitude, frequency, phase (phases in half turns)
        float d = 0, e = 0, f = 0; // the same for y
    };
    struct Modulation {
        bool yAmplitudeByX = false, yFrequencyByX = false, yPhaseByX = false;
        bool amplitudeByY = false, xFrequencyByY = false, xPhaseByY = false;
    };
    const Wave& Waves() const { return m_Wave; }
    const Modulation& Modulations() const { return m_Mod; }
    const BinOp& Op() const { return *m_pOp; }

private:
    Wave m_Wave;
    Modulation m_Mod;
    float m_LastY = -1000.0f;
    float m_SinY = 0.0f; // sin((y E + F) pi) for m_LastY
    std::unique_ptr<BinOp> m_pOp;
};
