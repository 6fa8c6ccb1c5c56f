#pragma once

#include "patterns/Shape2DPoly.h"

// The figures with corners.

// n corners on an ellipse with radii rx, ry at angles 2 pi i / n, turned by the angle.
class Shape2DAngle : public Shape2DPoly {
public:
    Shape2DAngle(int colour, int cx, int cy, int rx, int ry, int n, float angle);
};

class Shape2DTriangle : public Shape2DAngle {
public:
    Shape2DTriangle(int colour, int cx, int cy, int rx, int ry, float angle);
};

// n tips: 2n points alternating between radii r1 and r2, not turned. Size max(r1, r2).
class Shape2DStar : public Shape2DPoly {
public:
    Shape2DStar(int colour, int cx, int cy, int r1, int r2, int n);
};

// Corners (cx - w, cy - h), (cx + w, cy - h), (cx + w, cy + h), (cx - w, cy + h), turned.
class Shape2DRectangle : public Shape2DPoly {
public:
    Shape2DRectangle(int colour, int cx, int cy, int w, int h, float angle, bool filled = false,
                     bool keepApart = true, bool toggle = false);
};

class Shape2DSquare : public Shape2DRectangle {
public:
    Shape2DSquare(int colour, int cx, int cy, int halfSide, float angle);
};

// An arrowhead pointing along +x with its notch at notchX: (cx + s, cy), (cx - s, cy - s),
// (notchX, cy), (cx - s, cy + s), turned.
class Shape2DBullet : public Shape2DPoly {
public:
    Shape2DBullet(int colour, int cx, int cy, int s, int notchX, float angle);
};
