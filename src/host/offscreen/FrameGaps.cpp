#include "host/offscreen/FrameGaps.h"

#include <algorithm>
#include <cstddef>

void FrameGaps::StartScene() {
    ++m_Scene;
    m_SceneSwaps = 0;
    m_FirstSwapUs = -1;
    std::fill(m_InScene.bins.begin(), m_InScene.bins.end(), 0);
    m_InScene.gaps = 0;
    m_InScene.longestUs = 0;
    m_InScene.longestSwap = 0;
}

void FrameGaps::Swap(long long nowUs) {
    if (m_SceneSwaps == 0) {
        m_FirstSwapUs = nowUs;
    } else {
        const long long gap = std::max(nowUs - m_LastSwapUs, 0LL);
        m_InScene.Add(gap, m_SceneSwaps);
        if (m_All.Add(gap, m_SceneSwaps))
            m_LongestScene = m_Scene;
    }
    m_LastSwapUs = nowUs;
    ++m_SceneSwaps;
}

bool FrameGaps::Tally::Add(long long gap, int swap) {
    ++bins[static_cast<std::size_t>(std::min(gap / BinUs, Bins - 1LL))];
    ++gaps;
    if (gap <= longestUs)
        return false;
    longestUs = gap;
    longestSwap = swap;
    return true;
}

long long FrameGaps::Tally::Percentile(int percent) const {
    if (gaps <= 0)
        return 0;
    const long long rank = std::max((gaps * percent + 99) / 100, 1LL);
    long long seen = 0;
    for (std::size_t bin = 0; bin < bins.size(); ++bin) {
        seen += bins[bin];
        // The last bin has no upper edge: it holds the longest gap.
        if (seen >= rank)
            return bin + 1 < bins.size()
                       ? std::min(static_cast<long long>(bin + 1) * BinUs, longestUs)
                       : longestUs;
    }
    return longestUs;
}

long long FrameGaps::GapsFrom(long long us) const {
    const auto first = static_cast<std::ptrdiff_t>(std::clamp(us / BinUs, 0LL, Bins - 1LL));
    long long count = 0;
    for (auto bin = m_All.bins.begin() + first; bin != m_All.bins.end(); ++bin)
        count += *bin;
    return count;
}
