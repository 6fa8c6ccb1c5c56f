#pragma once

#include "core/FloatArray.h"

#include <memory>

class Canvas;
class Random;
class WeightedChoice;

// A flat figure on a canvas's pixel grid (circle, polygon, star, spiral, grid, ...), placed at
// a centre with a size and drawn as an outline of a line width, as a filled area, or as open
// strokes. Coordinates are whole pixels held in floats; sizes are in pixels, angles in radians.
// Drawing asks the canvas's gate after every segment, scan line and stroke, and stops when it
// says no, keeping what it drew.
class Shape2D {
public:
    struct Point {
        float x = 0;
        float y = 0;
        bool operator==(const Point&) const = default;
    };

    // Create draws the centre and size given as kRandom and the angle given as kRandomAngle.
    static constexpr int kRandom = -1;
    static constexpr float kRandomAngle = -999.0f;
    static constexpr int kKindCount = 16;
    // Every coordinate is pinned to +-kCoordLimit, so no arithmetic on it can overflow.
    static constexpr int kCoordLimit = 1 << 20;

    virtual ~Shape2D() = default;
    Shape2D(const Shape2D&) = delete;
    Shape2D& operator=(const Shape2D&) = delete;

    // filled (or the filled flag) fills the figure; closed adds the segment from the last
    // point back to the first when they differ. With the toggle flag the canvas inverts.
    virtual void Draw(Canvas& canvas, bool filled, bool closed) = 0;
    virtual void Prepare() {}
    // When both keep apart: shrinks one or both figures until their circles no longer overlap.
    virtual void KeepApart(Shape2D& other);
    virtual bool IsOpen() const { return false; }
    virtual int CentreX() const = 0;
    virtual int CentreY() const = 0;
    // Moves the centre only: the points stay where they are.
    virtual void SetCentreX(int x) = 0;
    virtual void SetCentreY(int y) = 0;
    virtual int Size() const = 0;
    // Scales the figure about its centre to size s; a figure of size 0 stays as it is.
    virtual void SetSize(int s) = 0;
    // p turned about the centre by angle, keeping its distance; the centre itself stays.
    virtual void RotatePoint(Point& p, float angle) const;
    // Every point moves to centre + truncated (point - centre) * f.
    virtual void Scale(float f) = 0;
    virtual int Radius() const { return Size(); }
    virtual float Aspect() const { return 1.0f; }
    // One-pixel line, both ends included, one Plot a pixel.
    virtual void DrawLine(Canvas& canvas, int x0, int y0, int x1, int y1) const;
    // A line of the line width: a filled rectangle along the segment, with round caps of
    // radius width / 2 * capScale at ends well inside the canvas. Below width 2: DrawLine.
    virtual void DrawThickLine(Canvas& canvas, int x0, int y0, int x1, int y1,
                               float capScale) const;

    // A new figure of a kind chosen from kinds (indices 0..15, see the table in Shape2D.cpp)
    // with the given colour. half draws centre and size from half the canvas (for drawings
    // that mirror). The centre, size and angle are drawn when given as kRandom/kRandomAngle.
    static std::unique_ptr<Shape2D> Create(Random& rng, const Canvas& canvas,
                                           const WeightedChoice& kinds, int colour, bool half,
                                           int cx = kRandom, int cy = kRandom, int size = kRandom,
                                           float angle = kRandomAngle);
    // The weight of each kind in line drawings, by kind.
    static FloatArray LineDrawingWeights();

    // v as a stored coordinate: truncated toward zero, NaN as 0, pinned to +-kCoordLimit.
    static float Whole(double v);
    static int Pixel(double v) { return static_cast<int>(Whole(v)); }
    // How far outside the canvas points are still plotted: no figure built for the canvas
    // reaches that far, so only absurd ones are clipped there, and their cost stays bounded.
    static long long Margin(const Canvas& canvas);

    int LineWidth() const { return m_LineWidth; }
    void SetLineWidth(int width) { m_LineWidth = width; }
    bool Filled() const { return m_bFilled; }
    void SetFilled(bool on) { m_bFilled = on; }
    bool KeepsApart() const { return m_bKeepApart; }
    void SetKeepApart(bool on) { m_bKeepApart = on; }
    bool Toggle() const { return m_bToggle; }
    void SetToggle(bool on) { m_bToggle = on; }
    int Colour() const { return m_Colour; }

protected:
    explicit Shape2D(int colour) : m_Colour(colour) {}

    // Outline segment with the figure's line width (cap scale 1).
    void DrawSegment(Canvas& canvas, const Point& a, const Point& b) const;

    int m_LineWidth = 1;
    bool m_bFilled = false;
    bool m_bKeepApart = true;
    bool m_bToggle = false;
    int m_Colour = 0; // RGB value for canvases that hold real colours
};
