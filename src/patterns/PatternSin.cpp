#include "patterns/PatternSin.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "patterns/PatternMath.h"

#include <cmath>

namespace {
float Whole(Random& rng) {
    return static_cast<float>(rng.below(6) + 1);
}
float Real(Random& rng) {
    return static_cast<float>(6.0 * (1.0 - rng.uniform()));
}
} // namespace

PatternSin::PatternSin(Random& rng, const PatternContext& context)
    : PatternCalculator(rng, context), m_pOp(BinOp::Create(rng, context.colourCount)) {}

void PatternSin::Randomize(int /*inputs*/, int /*outputs*/, bool regular, int /*bias*/) {
    if (m_bRandomized)
        return;
    Random& rng = Rand();
    Wave& w = m_Wave;
    const int f = rng.flip(); // drawn in regular mode too
    if (f == 0 || regular) {
        w.a = Whole(rng);
        w.b = Whole(rng);
        w.c = regular ? -0.5f : static_cast<float>(rng.symmetric());
        w.d = Whole(rng);
        w.e = Whole(rng);
        w.f = regular ? -0.5f : static_cast<float>(rng.symmetric());
    } else {
        w.a = Real(rng);
        w.b = Real(rng);
        w.c = static_cast<float>(rng.uniform());
        w.d = Real(rng);
        w.e = Real(rng);
        w.f = static_cast<float>(rng.uniform());
    }
    m_Mod.yAmplitudeByX = rng.flip() != 0;
    m_Mod.yFrequencyByX = rng.flip() != 0;
    m_Mod.yPhaseByX = rng.flip() != 0;
    m_Mod.amplitudeByY = rng.flip() != 0;
    m_Mod.xFrequencyByY = rng.flip() != 0;
    m_Mod.xPhaseByY = rng.flip() != 0;
    m_bRandomized = true;
}

void PatternSin::Calculate(const FloatArray& inputs, FloatArray& outputs) {
    const Wave& w = m_Wave;
    const float x = Input(inputs, 0);
    if (inputs.size() < 2) {
        outputs[0] = maths::Sin((w.b * x + w.c) * kPiF) * 0.5f + 0.5f;
        return;
    }
    const float y = inputs[1];
    float a = w.a, b = w.b, c = w.c, d = w.d, e = w.e, f = w.f;
    if (m_Mod.amplitudeByY || m_Mod.xFrequencyByY || m_Mod.xPhaseByY) {
        if (y != m_LastY) {
            m_SinY = maths::Sin((y * w.e + w.f) * kPiF);
            m_LastY = y;
        }
        const float sy = m_SinY;
        if (m_Mod.amplitudeByY)
            a = w.a * w.d * sy;
        if (m_Mod.xFrequencyByY)
            b = w.b * w.d * sy;
        if (m_Mod.xPhaseByY)
            c = w.c * w.d * sy;
    }
    const float sx = maths::Sin((x * w.b + w.c) * kPiF);
    if (m_Mod.yAmplitudeByX)
        d = sx * w.d * w.a;
    if (m_Mod.yFrequencyByX)
        e = sx * w.e * w.a;
    if (m_Mod.yPhaseByX)
        f = sx * w.f * w.a;
    const float u = maths::Sin((b * x + c) * kPiF);
    const float v = maths::Sin((e * y + f) * kPiF);
    outputs[0] = m_pOp->Apply(u * a, v * d, a, d) * 0.5f + 0.5f;
}
