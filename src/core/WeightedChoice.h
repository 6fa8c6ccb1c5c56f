#pragma once

#include "core/FloatArray.h"

#include <vector>

class Random;

// A weighted random choice between the indices 0 .. n - 1, with an optional list of indices
// to avoid. Every factory draws its kind through one.
class WeightedChoice {
public:
    // Rebuilds the cumulative table (single precision, as stored); the last entry is always
    // 1, so an all-zero table yields the last index. With save the table is also kept as
    // the shape perturb() falls back to.
    void setWeights(const FloatArray& weights, bool save);

    // Redraws an excluded index at most maxTries - 1 times; the maxTries-th draw stands.
    int choose(Random& rng, const std::vector<int>* excluded = nullptr, int maxTries = 10) const;

    // Lets the weights drift; an outcome of weight 0 stays at 0.
    void perturb(Random& rng);

    int Count() const { return static_cast<int>(m_Cumulative.size()); }
    const FloatArray& Cumulative() const { return m_Cumulative; }

    // Appends to out the position of the first occurrence of key in list; nothing if absent.
    static void AppendIndexOf(const std::vector<int>& list, int key, std::vector<int>& out);

private:
    int Pick(float x) const;

    FloatArray m_Cumulative;
    FloatArray m_Saved;
};
