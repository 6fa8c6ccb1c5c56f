#pragma once

#include "patterns/Shape2D.h"

// Figures made of separate strokes computed from centre and size (no point list), drawn with
// the canvas's alternate pen and DrawThickLine at the figure's cap scale. Every stroke end is
// turned about the centre by the figure's angle.
class Shape2DStrokes : public Shape2D {
public:
    void Draw(Canvas& canvas, bool filled, bool closed) override;
    bool IsOpen() const override { return true; }
    int CentreX() const override { return m_CentreX; }
    int CentreY() const override { return m_CentreY; }
    void SetCentreX(int x) override { m_CentreX = x; }
    void SetCentreY(int y) override { m_CentreY = y; }
    int Size() const override { return m_Size; }
    void SetSize(int s) override;
    void Scale(float f) override;

    float CapScale() const { return m_CapScale; }

protected:
    Shape2DStrokes(int colour, int cx, int cy, int size, float angle, float capScale);
    virtual void DrawStrokes(Canvas& canvas) = 0;
    // One stroke between two points, each end truncated and turned about the centre.
    void Stroke(Canvas& canvas, double x0, double y0, double x1, double y1) const;

    int m_CentreX;
    int m_CentreY;
    int m_Size;
    float m_Angle;
    float m_CapScale;
};

// nx + 1 horizontal and ny + 1 vertical lines across the square of half-side size; start 1
// leaves out the border lines, a count of 0 draws none in that direction. Not turned.
class Shape2DGrid : public Shape2DStrokes {
public:
    Shape2DGrid(int colour, int cx, int cy, int size, int nx, int ny, int start, float capScale);

private:
    void DrawStrokes(Canvas& canvas) override;

    int m_Nx;
    int m_Ny;
    int m_Start;
};

// A shaft from (cx - size, cy) to (cx + size, cy) with two head strokes from
// (cx + size/2, cy -+ size/2) to its tip.
class Shape2DArrow : public Shape2DStrokes {
public:
    Shape2DArrow(int colour, int cx, int cy, int size, float angle, float capScale);

private:
    void DrawStrokes(Canvas& canvas) override;
};

// arms diameters of length 2 size through the centre, at angles pi k / arms.
class Shape2DAsterisk : public Shape2DStrokes {
public:
    Shape2DAsterisk(int colour, int cx, int cy, int size, int arms, float angle, float capScale);

private:
    void DrawStrokes(Canvas& canvas) override;

    int m_Arms;
};
