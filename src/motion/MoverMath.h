#pragma once

#include "core/Maths.h"
#include "core/Random.h"

#include <cmath>

// A direction given by two angles (radians as they stand), with the sines and cosines the
// movers keep for it.
struct PolarDirection {
    float theta = 0, phi = 0;
    float sinTheta = 0, cosTheta = 1, sinPhi = 0, cosPhi = 1;
    float x = 0, y = 0, z = 1; // unit vector (sin theta cos phi, sin theta sin phi, cos theta)

    static PolarDirection Of(float angleTheta, float anglePhi) {
        PolarDirection d;
        d.theta = angleTheta;
        d.phi = anglePhi;
        d.sinTheta = maths::Sin(angleTheta);
        d.cosTheta = maths::Cos(angleTheta);
        d.sinPhi = maths::Sin(anglePhi);
        d.cosPhi = maths::Cos(anglePhi);
        d.x = d.sinTheta * d.cosPhi;
        d.y = d.sinTheta * d.sinPhi;
        d.z = d.cosTheta;
        return d;
    }
};

// A velocity of up to scale per axis: three symmetric draws, x first, then y, then z.
inline void DrawSymmetricVelocity(Random& rng, double scale, float& vx, float& vy, float& vz) {
    vx = static_cast<float>(rng.symmetric() * scale);
    vy = static_cast<float>(rng.symmetric() * scale);
    vz = static_cast<float>(rng.symmetric() * scale);
}

// The polygons a scene of all-pairs movers holds back so that about budget^exponent are
// left: the work per frame grows with the square of the shape count.
inline int ReserveAllBut(int budget, double exponent) {
    if (budget <= 0)
        return 0;
    return static_cast<int>(budget - maths::Pow(static_cast<double>(budget), exponent));
}
