#pragma once

#include "core/FloatArray.h"

#include <memory>

// A function through a table of samples (knots ascending, one value per knot), evaluated
// anywhere. Arithmetic is single precision throughout. With fewer than two samples the value
// is the only value there is (0 for none); knots and values of different lengths use the
// shorter.
class Interpolator {
public:
    virtual ~Interpolator() = default;

    // Kind 1: natural cubic spline; any other kind: piecewise linear. Copies both arrays.
    static std::unique_ptr<Interpolator> Create(int kind, const FloatArray& knots,
                                                const FloatArray& values);

    // Replaces both arrays; reuses their storage when the count is unchanged.
    virtual void SetPoints(const FloatArray& knots, const FloatArray& values);
    virtual float Value(float x) = 0;

    int Count() const { return static_cast<int>(m_Knots.size()); }

protected:
    FloatArray m_Knots;
    FloatArray m_Values;
};

// Straight segments; flat beyond the end knots. Remembers the last segment, so a run of
// nearby queries skips the search.
class InterpLinear : public Interpolator {
public:
    InterpLinear(const FloatArray& knots, const FloatArray& values);

    void SetPoints(const FloatArray& knots, const FloatArray& values) override;
    float Value(float x) override;

private:
    float Segment(int i, float x) const;

    int m_Cached = -1; // segment i runs from knot i - 1 to knot i; -1: none
};

// Natural cubic spline (second derivative 0 at both ends); the end segments extrapolate.
// A segment of zero width has slope 0 and takes its left value.
class InterpSpline : public Interpolator {
public:
    InterpSpline(const FloatArray& knots, const FloatArray& values);

    void SetPoints(const FloatArray& knots, const FloatArray& values) override;
    float Value(float x) override;
    virtual void ComputeCurvatures();

    const FloatArray& Curvatures() const { return m_Y2; }

private:
    FloatArray m_Y2;          // second derivative at each knot
    FloatArray m_H, m_D, m_R; // work arrays, kept to spare allocations
};
