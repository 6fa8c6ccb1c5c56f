#include "patterns/Complex.h"

#include "core/Maths.h"

#include <cmath>

Complex Sin(Complex w) {
    return {maths::Sin(w.re) * maths::Cosh(w.im), maths::Cos(w.re) * maths::Sinh(w.im)};
}

Complex Cos(Complex w) {
    return {maths::Cos(w.re) * maths::Cosh(w.im), -(maths::Sin(w.re) * maths::Sinh(w.im))};
}

Complex Log(Complex w) {
    return {maths::Log(maths::Hypot(w.re, w.im)), maths::Atan2(w.im, w.re)};
}

Complex Sqrt(Complex w) {
    if (w.IsZero())
        return {};
    // t is the larger of the two root components; taking it first avoids the cancellation
    // of r - |re| when im is small.
    const float t = std::sqrt((maths::Hypot(w.re, w.im) + std::fabs(w.re)) * 0.5f);
    if (w.re >= 0.0f)
        return {t, w.im / (2.0f * t)};
    return {std::fabs(w.im) / (2.0f * t), w.im < 0.0f ? -t : t};
}
