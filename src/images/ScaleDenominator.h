#pragma once

// The scale rule of the decoders that can shrink a picture as they read it: the power of
// two (1, 2, 4 or at most 8) by which a width x height picture is divided so that neither
// side exceeds sceneWidth / divisor. 1 when there is no scene window (sceneWidth <= 0).
inline int ScaleDenominator(long width, long height, int divisor, int sceneWidth) {
    int denominator = 1;
    if (sceneWidth <= 0)
        return denominator;
    const long limit = divisor != 0 ? sceneWidth / divisor : sceneWidth;
    while ((width / denominator > limit || height / denominator > limit) && denominator < 8)
        denominator *= 2;
    return denominator;
}
