#pragma once

#include "patterns/Shape2DPoly.h"

// The open polylines, drawn with the canvas's alternate pen.

// Points at radius 0, step, 2 step, ... up to size, the angle growing by kTurn a point.
class Shape2DSpiral : public Shape2DPoly {
public:
    static constexpr float kTurn = 0.0628319f; // 2 pi / 100

    Shape2DSpiral(int colour, int cx, int cy, int size, int step, float angle);
    void Draw(Canvas& canvas, bool filled, bool closed) override;
    bool IsOpen() const override { return true; }

private:
    int m_Step;
};

// 51 points of a sine across extent L with amplitude L: x from -L/2 in steps of L/50,
// y = L sin(x waves 2 pi / L + phase), turned.
class Shape2DWavyLine : public Shape2DPoly {
public:
    Shape2DWavyLine(int colour, int cx, int cy, int size, int extent, int waves, float phase,
                    float angle);
    void Draw(Canvas& canvas, bool filled, bool closed) override;
    bool IsOpen() const override { return true; }

private:
    int m_Extent;
    int m_Waves;
};

// 4 teeth + 1 points across extent L, alternating 0, +L, 0, -L from the axis, turned.
class Shape2DZigZag : public Shape2DPoly {
public:
    Shape2DZigZag(int colour, int cx, int cy, int size, int extent, int teeth, float angle);
    void Draw(Canvas& canvas, bool filled, bool closed) override;
    bool IsOpen() const override { return true; }

private:
    int m_Extent;
    int m_Teeth;
};
