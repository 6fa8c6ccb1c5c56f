#pragma once

#include "patterns/Interpolator.h"
#include "patterns/PatternCalculator.h"

#include <memory>
#include <vector>

// Value noise: a grid of nx x ny random node values (each 2, 4 .. 128), smoothed by
// interpolators along one grid direction at y and then across at x.
class PatternNoise : public PatternCalculator {
public:
    PatternNoise(Random& rng, const PatternContext& context); // draws the interpolation kind

    // Ignores its arguments.
    void Randomize(int inputs, int outputs, bool regular, int bias) override;
    // Output 0 in [0, 1]. Allocates nothing.
    void Calculate(const FloatArray& inputs, FloatArray& outputs) override;
    int Channels(int) const override { return 1; }

    int Kind() const { return m_Kind; } // 0 linear, 1 spline
    int NodesX() const { return m_Nx; }
    int NodesY() const { return m_Ny; }
    float Node(int i, int j) const { return m_Nodes[static_cast<std::size_t>(i * m_Ny + j)]; }

private:
    int m_Kind;
    int m_Nx = 0;
    int m_Ny = 0;
    FloatArray m_Nodes;                                   // node (i, j) at i * ny + j
    std::vector<std::unique_ptr<Interpolator>> m_Columns; // column j runs over i
    FloatArray m_Positions;                               // column j at 2j / (ny - 1) - 1
    FloatArray m_Across;                                  // the columns' values at the cached y
    // Cross interpolators through (position j, column j at y) for the last distinct y values:
    // a grid walked row by row meets the same y once per row, and building a cross
    // interpolator is the costly part of a query.
    struct Cross {
        float y = 0.0f;
        bool built = false;
        std::unique_ptr<Interpolator> curve;
    };
    static constexpr int kCrossSlots = 64;
    int FindCross(float y) const;
    int BuildCross(float y);

    std::vector<Cross> m_Cross; // kCrossSlots, made by Randomize
    int m_NextSlot = 0;         // replaced next, round robin
    int m_Current = -1;         // the slot for m_LastY; -1: none yet
    float m_LastY = -999.0f;
};
