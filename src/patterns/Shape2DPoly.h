#pragma once

#include "patterns/Shape2D.h"

#include <vector>

// A figure made of a point list: a closed outline unless the figure says it is open. Size is
// the larger of its radii unless a figure says otherwise.
class Shape2DPoly : public Shape2D {
public:
    void Draw(Canvas& canvas, bool filled, bool closed) override;
    int CentreX() const override { return m_CentreX; }
    int CentreY() const override { return m_CentreY; }
    void SetCentreX(int x) override { m_CentreX = x; }
    void SetCentreY(int y) override { m_CentreY = y; }
    int Size() const override { return m_Size; }
    void SetSize(int s) override;
    void Scale(float f) override;
    // Even-odd scan-line fill of the point list as a closed polygon; fewer than 3 points fill
    // nothing. Rows and spans far outside the canvas are skipped, so any polygon, however
    // large or self-intersecting, costs at most a few canvas areas.
    virtual void Fill(Canvas& canvas) const;

    const std::vector<Point>& Points() const { return m_Points; }

protected:
    Shape2DPoly(int colour, int cx, int cy, int size);

    // Appends (x, y) truncated, then turned about the centre by angle.
    void AddPoint(double x, double y, float angle = 0.0f);
    // The open polylines: alternate pen, line width limited to maxWidth (at least 1), no fill
    // and no closing segment.
    void DrawOpen(Canvas& canvas, int maxWidth);

    std::vector<Point> m_Points;
    int m_CentreX;
    int m_CentreY;
    int m_Size;
};
