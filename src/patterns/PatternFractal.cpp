#include "patterns/PatternFractal.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "patterns/PatternMath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

// Half away from zero; a fractional part a hair under one half already rounds up.
float RoundHalfAway(float v) {
    const double magnitude = std::fabs(static_cast<double>(v));
    double whole = std::floor(magnitude);
    if (magnitude - whole >= 0.49999999999)
        whole += 1.0;
    return static_cast<float>(std::copysign(whole, static_cast<double>(v)));
}

int Sign(Random& rng) {
    return rng.below(2) == 1 ? 1 : -1;
}

} // namespace

PatternFractal::PatternFractal(Random& rng, const PatternContext& context)
    : PatternCalculator(rng, context) {}

void PatternFractal::SetParameters(const Parameters& parameters) {
    m_P = parameters;
    m_bRandomized = true;
}

Complex PatternFractal::Twist(int kind, Complex w) {
    switch (kind) {
    case 1:
        return Square(w);
    case 2:
        return Sin(w);
    case 3:
        return Cos(w);
    case 4:
        return w.IsZero() ? w : Log(w);
    case 5:
        return Sqrt(w);
    case 6:
        return w - Complex{std::trunc(w.re), std::trunc(w.im)};
    case 7:
        return {std::trunc(w.re + 0.5f), std::trunc(w.im + 0.5f)};
    case 8:
        return w - Complex{RoundHalfAway(w.re), RoundHalfAway(w.im)};
    case 9:
        return w - Complex{std::floor(w.re), std::floor(w.im)};
    case 10:
        return w - Complex{std::ceil(w.re), std::ceil(w.im)};
    default:
        return w;
    }
}

int PatternFractal::Iterate(float x, float y, bool twist) const {
    Complex z{x * m_P.scaleX + m_P.offsetX, y * m_P.scaleY + m_P.offsetY};
    Complex w = z;
    float leastNorm = m_P.leastNorm ? 2.0f * m_P.limit * m_P.limit : 0.0f;
    float leastImaginary = m_P.leastImaginary ? m_P.limit : 0.0f;
    int n = 0;
    while (n < m_P.colours - 1 && z.Norm() < m_P.limit) {
        z = Square(z) + m_P.c;
        if (twist) {
            w = Twist(m_P.twist, z);
            if (m_P.leastNorm)
                leastNorm = std::min(leastNorm, w.Norm());
            if (m_P.leastImaginary)
                leastImaginary = std::min(leastImaginary, std::fabs(w.im));
        }
        ++n;
    }
    const int colours = m_P.colours;
    if (!twist || colours < 1)
        return n;
    const float scale = static_cast<float>(colours);
    if (m_P.angle) {
        if (z.im == 0.0f) {
            n = 0;
        } else {
            const float alpha = maths::Atan2(w.re, w.im);
            const float t = (alpha / kPiF + 1.0f) / 2.0f;
            const float q = (0.25f - std::fabs(t - 0.5f)) * 4.0f;
            n = std::abs(TruncToInt(scale * q)) % colours;
        }
    }
    // Sums in 64 bits: a trap's share is large when N is.
    if (m_P.leastNorm)
        n = static_cast<int>((n + static_cast<long long>(TruncToInt(scale * leastNorm))) % colours);
    if (m_P.leastImaginary)
        n = static_cast<int>((n + static_cast<long long>(TruncToInt(scale * leastImaginary))) %
                             colours);
    return n;
}

bool PatternFractal::DrawParameters() {
    Random& rng = Rand();
    m_P.limit = static_cast<float>(rng.skewed(20, 3) + 4);

    bool goOn = true;
    for (;;) {
        double re = rng.uniform() * rng.uniform() * 1.75;
        if (rng.uniform() < 0.9)
            re = -re;
        double sign = re > 0.0 ? -1.0 : (re < 0.0 ? 1.0 : 0.0);
        if (rng.uniform() >= 0.85)
            sign = Sign(rng);
        const double u = rng.uniform();
        const double im = u * rng.uniform() * 1.75 * sign;
        m_P.c = {static_cast<float>(re), static_cast<float>(im)};
        if (m_P.c.Norm() < m_P.limit)
            break;
        if (!(goOn = CanGoOn()))
            break;
    }

    for (;;) {
        float x0 = 0.0f;
        float y0 = 0.0f;
        float x1 = 0.0f;
        float y1 = 0.0f;
        if (rng.uniform() < 0.75) {
            const double s = rng.symmetric();
            const double u = rng.uniform();
            const float h = static_cast<float>(std::fabs(2.0 * s * (u * u * u)));
            x0 = y0 = -h;
            x1 = y1 = h;
        } else {
            for (float* corner : {&x0, &y0, &x1, &y1}) {
                const double s = rng.symmetric();
                *corner = static_cast<float>(2.0 * s * rng.uniform());
            }
        }
        m_P.scaleX = (x1 - x0) / 2.0f;
        m_P.offsetX = (x0 + x1) / 2.0f;
        m_P.scaleY = (y1 - y0) / 2.0f;
        m_P.offsetY = (y0 + y1) / 2.0f;
        if (x1 - x0 >= 0.001f && y1 - y0 >= 0.001f)
            break;
        if (!goOn || !(goOn = CanGoOn()))
            break;
    }
    return goOn;
}

bool PatternFractal::SamplePasses(bool twist, int attempts) const {
    static constexpr std::array<float, 4> kAt{0.0f, 0.25f, 0.5f, 0.75f};
    std::array<int, 16> seen{};
    int distinct = 0;
    for (const float a : kAt) {
        for (const float b : kAt) {
            const int n = Iterate(a, b, twist);
            if (n >= m_P.colours - 1)
                return false;
            const int band = n / 8;
            if (std::find(seen.begin(), seen.begin() + distinct, band) == seen.begin() + distinct)
                seen[static_cast<std::size_t>(distinct++)] = band;
        }
    }
    int d = static_cast<int>(std::sqrt(static_cast<double>(attempts))) + Context().bandCount;
    if (d == 0)
        d = 1;
    return distinct >= 128 / d;
}

void PatternFractal::Randomize(int /*inputs*/, int /*outputs*/, bool regular, int /*bias*/) {
    if (m_bRandomized)
        return;
    Random& rng = Rand();
    m_P.colours = ColourCount();
    m_P.angle = !regular && rng.uniform() < 0.15;
    m_P.leastNorm = rng.uniform() < 0.15;
    m_P.leastImaginary = rng.uniform() < 0.15;
    const bool samplingTwist = rng.flip() == 1;
    m_P.twist = 0;
    if ((m_P.angle || m_P.leastNorm || m_P.leastImaginary) && rng.uniform() >= 0.8)
        m_P.twist = rng.skewed(11, 2);

    for (m_Attempts = 1;; ++m_Attempts) {
        if (!DrawParameters())
            return;
        const bool passes = SamplePasses(samplingTwist, m_Attempts);
        if (m_Attempts > kAttemptsBeforeAnyIsTaken || passes) {
            m_bRandomized = true;
            return;
        }
        if (!CanGoOn())
            return;
    }
}

void PatternFractal::Calculate(const FloatArray& inputs, FloatArray& outputs) {
    if (m_P.colours < 2) {
        outputs[0] = 0.0f;
        return;
    }
    outputs[0] = static_cast<float>(Iterate(Input(inputs, 0), Input(inputs, 1), true)) /
                 static_cast<float>(m_P.colours - 1);
}
