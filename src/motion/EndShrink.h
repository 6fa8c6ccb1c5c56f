#pragma once

#include "motion/SceneClock.h"

#include <cmath>

// The end of a group scene: once the frame number passes shrinkStart, every step scales
// the (already shrunk) position by sqrt(|(1 - t/P) / (1 - S/P)|), so the shapes fall
// towards the centre ever faster and reach it as the scene ends. S < P whenever S is the
// integer part of 0.95 P, so the divisor is positive.
inline void ApplyEndShrink(float& x, float& y, float& z, int shrinkStart, const SceneClock& clock) {
    if (clock.frameNumber <= shrinkStart)
        return;
    const double period = clock.cycleFrames;
    const double factor =
        std::sqrt(std::fabs((1.0 - clock.sceneTime / period) / (1.0 - shrinkStart / period)));
    x = static_cast<float>(x * factor);
    y = static_cast<float>(y * factor);
    z = static_cast<float>(z * factor);
}
