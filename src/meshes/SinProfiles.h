#pragma once

#include "meshes/Poly.h"

#include <memory>
#include <vector>

class PatternSinFM;

// The two random profiles of the pattern-shaped solids: A over the rows and B over the
// columns, each a frequency-modulated sine pattern of one input in [-1, 1], with their values
// and slopes sampled once at the grid's edges (x = 2i / N - 1, w = 2j / M - 1).
class SinProfiles {
public:
    // Makes and randomizes A, then B (bias 1, inputs and outputs 0).
    SinProfiles(Random& rng, const MeshContext& context, bool regular);
    ~SinProfiles();
    SinProfiles(const SinProfiles&) = delete;
    SinProfiles& operator=(const SinProfiles&) = delete;

    // Samples both profiles at edges 0 .. rows and 0 .. columns; nothing when already done.
    void Sample(int rows, int columns);

    float A(int i) const { return m_A[static_cast<size_t>(i)]; }
    float ASlope(int i) const { return m_ASlope[static_cast<size_t>(i)]; }
    float B(int j) const { return m_B[static_cast<size_t>(j)]; }
    float BSlope(int j) const { return m_BSlope[static_cast<size_t>(j)]; }

    const PatternSinFM& PatternA() const { return *m_pA; }
    const PatternSinFM& PatternB() const { return *m_pB; }

private:
    std::unique_ptr<PatternSinFM> m_pA;
    std::unique_ptr<PatternSinFM> m_pB;
    std::vector<float> m_A, m_ASlope, m_B, m_BSlope;
};
