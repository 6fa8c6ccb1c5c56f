#pragma once

#include <climits>
#include <cmath>

// Conversions shared by the pattern code, kept sound for any float a caller may pass.

// C's truncation toward zero, clamped to the int range; a value that is not a number gives 0.
inline int TruncToInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr float kPiF = static_cast<float>(kPi);
