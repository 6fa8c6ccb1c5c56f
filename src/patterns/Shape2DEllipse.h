#pragma once

#include "patterns/Shape2DPoly.h"

// The round figures: n points at angles t = 2 pi i / n, truncated and turned by the angle.

// x = cx + rx (cos t + a1 cos k1 t), y = cy + ry (sin t + a2 sin k2 t); the wobble (a1, a2,
// k1, k2) is zero except for the amoeba.
class Shape2DEllipse : public Shape2DPoly {
public:
    struct Wobble {
        float a1 = 0;
        float a2 = 0;
        int k1 = 0;
        int k2 = 0;
    };

    Shape2DEllipse(int colour, int cx, int cy, int rx, int ry, float angle, int n = 100);
    Shape2DEllipse(int colour, int cx, int cy, int rx, int ry, float angle, int n,
                   const Wobble& wobble);
};

class Shape2DCircle : public Shape2DEllipse {
public:
    Shape2DCircle(int colour, int cx, int cy, int radius);
};

// 200 points on a wobbling ellipse.
class Shape2DAmoeba : public Shape2DEllipse {
public:
    Shape2DAmoeba(int colour, int cx, int cy, int rx, int ry, float angle, const Wobble& wobble);
};

// The upper half of an ellipse closed by a lower arc of half the height that bulges the same
// way.
class Shape2DCrescent : public Shape2DPoly {
public:
    Shape2DCrescent(int colour, int cx, int cy, int rx, int ry, float angle, int n = 100);
};

// An ellipse with its middle band (half the smaller radius either side of the long axis)
// removed, the two caps joined into one outline.
class Shape2DBead : public Shape2DPoly {
public:
    Shape2DBead(int colour, int cx, int cy, int rx, int ry, float angle, int n = 100);
};
