#include "host/offscreen/FrameGaps.h"

#include <algorithm>
#include <cstddef>

FrameGaps::FrameGaps() : m_Bins(Bins, 0), m_SceneBins(Bins, 0) {}

void FrameGaps::StartScene() {
    ++m_Scene;
    m_SceneSwaps = 0;
    m_FirstSwapUs = -1;
    m_SceneGaps = 0;
    m_SceneLongestUs = 0;
    m_SceneLongestSwap = 0;
    std::fill(m_SceneBins.begin(), m_SceneBins.end(), 0);
}

void FrameGaps::Swap(long long nowUs) {
    if (m_SceneSwaps == 0) {
        m_FirstSwapUs = nowUs;
    } else {
        const long long gap = std::max(nowUs - m_LastSwapUs, 0LL);
        const auto bin = static_cast<std::size_t>(std::min(gap / BinUs, Bins - 1LL));
        ++m_Bins[bin];
        ++m_SceneBins[bin];
        ++m_Gaps;
        ++m_SceneGaps;
        if (gap > m_SceneLongestUs) {
            m_SceneLongestUs = gap;
            m_SceneLongestSwap = m_SceneSwaps;
        }
        if (gap > m_LongestUs) {
            m_LongestUs = gap;
            m_LongestScene = m_Scene;
            m_LongestSwap = m_SceneSwaps;
        }
    }
    m_LastSwapUs = nowUs;
    ++m_SceneSwaps;
}

long long FrameGaps::Percentile(const std::vector<long long>& bins, long long count,
                                long long longest, int percent) {
    if (count <= 0)
        return 0;
    const long long rank = std::max((count * percent + 99) / 100, 1LL);
    long long seen = 0;
    for (std::size_t bin = 0; bin < bins.size(); ++bin) {
        seen += bins[bin];
        // The last bin has no upper edge: it holds the longest gap.
        if (seen >= rank)
            return bin + 1 < bins.size()
                       ? std::min(static_cast<long long>(bin + 1) * BinUs, longest)
                       : longest;
    }
    return longest;
}

long long FrameGaps::GapsFrom(long long us) const {
    const auto first = static_cast<std::ptrdiff_t>(std::clamp(us / BinUs, 0LL, Bins - 1LL));
    long long count = 0;
    for (auto bin = m_Bins.begin() + first; bin != m_Bins.end(); ++bin)
        count += *bin;
    return count;
}
