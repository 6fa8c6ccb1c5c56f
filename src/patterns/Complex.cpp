#include "patterns/Complex.h"

#include <cmath>

Complex Sin(Complex w) {
    return {std::sin(w.re) * std::cosh(w.im), std::cos(w.re) * std::sinh(w.im)};
}

Complex Cos(Complex w) {
    return {std::cos(w.re) * std::cosh(w.im), -(std::sin(w.re) * std::sinh(w.im))};
}

Complex Log(Complex w) {
    return {std::log(std::hypot(w.re, w.im)), std::atan2(w.im, w.re)};
}

Complex Sqrt(Complex w) {
    if (w.IsZero())
        return {};
    // t is the larger of the two root components; taking it first avoids the cancellation
    // of r - |re| when im is small.
    const float t = std::sqrt((std::hypot(w.re, w.im) + std::fabs(w.re)) * 0.5f);
    if (w.re >= 0.0f)
        return {t, w.im / (2.0f * t)};
    return {std::fabs(w.im) / (2.0f * t), w.im < 0.0f ? -t : t};
}
