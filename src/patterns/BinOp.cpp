#include "patterns/BinOp.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "patterns/PatternMath.h"

#include <algorithm>
#include <cmath>

BinOp::BinOp(int colourCount) : m_N(std::max(colourCount, 1)) {}

std::unique_ptr<BinOp> BinOp::Create(Random& rng, int colourCount) {
    switch (rng.below(9)) {
    case 1:
        return std::make_unique<BinOpMult>(colourCount);
    case 2:
        return std::make_unique<BinOpSqrt>(colourCount);
    case 3:
        return std::make_unique<BinOpAnd>(colourCount);
    case 4:
        return std::make_unique<BinOpOr>(colourCount);
    case 5:
        return std::make_unique<BinOpXOr>(colourCount);
    case 6:
        return std::make_unique<BinOpMod>(colourCount);
    case 7:
        return std::make_unique<BinOpMin>(colourCount);
    case 8:
        return std::make_unique<BinOpAtan>(colourCount);
    case 0:
    default:
        return std::make_unique<BinOpAdd>(colourCount);
    }
}

int BinOp::Step(float v, float range) const {
    return TruncToInt((v / range + 1.0f) / 2.0f * static_cast<float>(m_N));
}

float BinOpAdd::Apply(float a, float b, float ra, float rb) const {
    const float den = std::fabs(ra) + std::fabs(rb);
    return den != 0.0f ? (a + b) / den : 0.0f;
}

float BinOpMult::Apply(float a, float b, float ra, float rb) const {
    const float den = std::fabs(ra) * std::fabs(rb);
    return den != 0.0f ? a * b / den : 0.0f;
}

float BinOpSqrt::Apply(float a, float b, float ra, float rb) const {
    const float den = std::sqrt(ra * ra + rb * rb);
    return den != 0.0f ? std::sqrt(a * a + b * b) / den : 0.0f;
}

float BinOpAnd::Apply(float a, float b, float ra, float rb) const {
    if (ra == 0.0f || rb == 0.0f)
        return 0.0f;
    return static_cast<float>(Step(a, ra) & Step(b, rb)) / static_cast<float>(m_N);
}

float BinOpOr::Apply(float a, float b, float ra, float rb) const {
    if (ra == 0.0f || rb == 0.0f)
        return 0.0f;
    return static_cast<float>(Step(a, ra) | Step(b, rb)) / static_cast<float>(m_N) / 2.0f;
}

float BinOpXOr::Apply(float a, float b, float ra, float rb) const {
    if (ra == 0.0f || rb == 0.0f)
        return 0.0f;
    return static_cast<float>(Step(a, ra) ^ Step(b, rb)) / static_cast<float>(m_N) / 2.0f;
}

float BinOpMod::Apply(float a, float b, float ra, float rb) const {
    if (ra == 0.0f || rb == 0.0f)
        return 0.0f;
    const int p = Step(a, ra);
    const int q = Step(b, rb);
    if (q == 0)
        return static_cast<float>(p / m_N);
    // INT_MIN % -1 would overflow; its remainder is 0.
    const int rest = q == -1 ? 0 : p % q;
    return static_cast<float>(rest) / static_cast<float>(m_N) / 2.0f;
}

float BinOpMin::Apply(float a, float b, float ra, float rb) const {
    if (ra == 0.0f || rb == 0.0f)
        return 0.0f;
    return std::min(a / ra, b / rb);
}

float BinOpAtan::Apply(float a, float b, float, float) const {
    if (a == 0.0f || b == 0.0f)
        return 0.0f;
    return maths::Atan2(a, b) / kPiF;
}
