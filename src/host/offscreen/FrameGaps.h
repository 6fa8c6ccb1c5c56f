#pragma once

#include <vector>

// Times between buffer swaps inside scenes, in microseconds, on a clock the caller reads.
// Everything is allocated by the constructor: a swap only updates counters, maxima and
// histogram bins, so the frame loop stays free of allocation. The gap before a scene's first
// swap holds the scene change (teardown, composition, first draw) and is not counted here.
class FrameGaps {
public:
    // Histogram bins of 0.1 ms up to 2 s; a longer gap falls into the last bin.
    static constexpr long long BinUs = 100;
    static constexpr int Bins = 20000;

    // The next swap opens a new scene (numbered from 1): the scene's figures start again.
    void StartScene();
    void Swap(long long nowUs);

    int Scene() const { return m_Scene; }
    int SceneSwaps() const { return m_SceneSwaps; }
    // Of the current scene, -1 before its first swap.
    long long SceneFirstSwapUs() const { return m_SceneSwaps > 0 ? m_FirstSwapUs : -1; }
    long long LastSwapUs() const { return m_LastSwapUs; }
    long long SceneLongestUs() const { return m_InScene.longestUs; }
    // The swap that ended the scene's longest gap: 1 is the scene's second swap.
    int SceneLongestSwap() const { return m_InScene.longestSwap; }
    long long SceneMedianUs() const { return m_InScene.Percentile(50); }

    // Over every scene so far.
    long long Gaps() const { return m_All.gaps; }
    long long LongestUs() const { return m_All.longestUs; }
    int LongestScene() const { return m_LongestScene; }
    int LongestSwap() const { return m_All.longestSwap; }
    // Nearest rank over the bins, a bin's upper edge but never above the longest gap; 0
    // without gaps.
    long long PercentileUs(int percent) const { return m_All.Percentile(percent); }

    // Gaps of at least us (a multiple of BinUs) over every scene.
    long long GapsFrom(long long us) const;

private:
    // The gaps of one span (a scene, or the whole run).
    struct Tally {
        std::vector<long long> bins = std::vector<long long>(Bins, 0);
        long long gaps = 0;
        long long longestUs = 0;
        int longestSwap = 0;

        // True when the gap is the longest so far.
        bool Add(long long gap, int swap);
        long long Percentile(int percent) const;
    };

    Tally m_InScene;
    Tally m_All;
    int m_Scene = 0;
    int m_SceneSwaps = 0;
    long long m_FirstSwapUs = -1;
    long long m_LastSwapUs = -1;
    int m_LongestScene = 0;
};
