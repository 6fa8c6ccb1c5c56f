#include "core/WeightedChoice.h"

#include "core/Random.h"

#include <algorithm>

void WeightedChoice::setWeights(const FloatArray& weights, bool save) {
    const std::size_t n = weights.size();
    m_Cumulative.assign(n, 0.0f);
    float total = 0.0f;
    for (const float w : weights)
        total += w;
    float running = 0.0f;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (total != 0.0f)
            running += weights[i] / total;
        m_Cumulative[i] = total != 0.0f ? running : 0.0f;
    }
    if (n > 0)
        m_Cumulative[n - 1] = 1.0f;
    if (save)
        m_Saved = m_Cumulative;
}

int WeightedChoice::Pick(float x) const {
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        if (x < m_Cumulative[i])
            return i;
    }
    // Only a draw that rounds up to 1.0 gets here: take the last outcome that has weight,
    // never one whose weight is 0.
    for (int i = n - 1; i >= 0; --i) {
        const float before = i > 0 ? m_Cumulative[i - 1] : 0.0f;
        if (m_Cumulative[i] > before)
            return i;
    }
    return n > 0 ? n - 1 : 0;
}

int WeightedChoice::choose(Random& rng, const std::vector<int>* excluded, int maxTries) const {
    int tries = 0;
    for (;;) {
        const float x = static_cast<float>(rng.uniform());
        const int index = Pick(x);
        if (excluded == nullptr)
            return index;
        ++tries;
        const bool isExcluded =
            std::find(excluded->begin(), excluded->end(), index) != excluded->end();
        if (tries >= maxTries || !isExcluded)
            return index;
    }
}

void WeightedChoice::perturb(Random& rng) {
    const std::size_t n = m_Cumulative.size();
    FloatArray weights(n);
    if (rng.uniform() >= 1.0 / 6.0) {
        for (std::size_t i = 0; i < n; ++i) {
            const float d = m_Cumulative[i] - (i > 0 ? m_Cumulative[i - 1] : 0.0f);
            float w = static_cast<float>(rng.uniform() * d * 1000.0);
            if (d > 0.0f && w < 1.0f)
                w = 1.0f;
            weights[i] = w;
        }
    } else {
        // A table set without save has no saved shape: the current one stands in.
        const FloatArray& saved = m_Saved.size() == n ? m_Saved : m_Cumulative;
        for (std::size_t i = 0; i < n; ++i) {
            const float d = saved[i] - (i > 0 ? saved[i - 1] : 0.0f);
            weights[i] = static_cast<float>(d * rng.uniform() * 1000.0);
        }
    }
    setWeights(weights, false);
}

void WeightedChoice::AppendIndexOf(const std::vector<int>& list, int key, std::vector<int>& out) {
    const auto it = std::find(list.begin(), list.end(), key);
    if (it != list.end())
        out.push_back(static_cast<int>(it - list.begin()));
}
