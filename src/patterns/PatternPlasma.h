#pragma once

#include "core/IntGrid.h"
#include "patterns/PatternCalculator.h"

#include <vector>

// Midpoint-displacement plasma of colour indexes 0 .. M (M = N - 1) in a grid: random start
// values, then every edge midpoint and centre of ever smaller rectangles set to the mean of
// its corners plus a random offset that shrinks with the rectangle (by the divisor rho).
class PatternPlasma : public PatternCalculator {
public:
    PatternPlasma(Random& rng, const PatternContext& context); // draws rho

    void Randomize(int, int, bool, int) override {} // the pattern lives in its grid
    // Output 0 := the nearest cell of its own grid / M; the first query without a Prepare
    // builds a 64 x 64 grid.
    void Calculate(const FloatArray& inputs, FloatArray& outputs) override;
    // Resizes to width rows x height columns and subdivides; mirror is ignored. Stops when
    // the gate says so, the rest keeping its random start values.
    void FillGrid(IntGrid& grid, int width, int height, bool mirror) override;
    void Prepare(int width, int height) override; // a new own grid of this size
    int Channels(int) const override { return 1; }

    int Roughness() const { return m_Rho; } // 1, 2, 4, 8 or 16
    int Top() const { return m_Top; }       // M
    const IntGrid& Grid() const { return m_Grid; }

private:
    struct Target {
        IntGrid& grid;
        std::vector<char>& marked;
    };
    void Subdivide(Target& t, int c0, int r0, int c1, int r1);
    void SetPoint(Target& t, int r, int c, int sum, int divisor, int d);

    int m_Rho;
    int m_Top;
    IntGrid m_Grid;
    bool m_bHasGrid = false;
    std::vector<char> m_Marked;
};
