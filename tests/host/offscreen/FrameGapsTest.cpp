#include "host/offscreen/FrameGaps.h"
#include "host/offscreen/Bench.h"

#include "core/MemoryProfileStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

TEST(FrameGaps, SceneChangesAreNotGapsAndTheLongestIsPlaced) {
    FrameGaps gaps;
    gaps.StartScene();
    for (const long long at : {0LL, 40000LL, 80000LL, 200000LL, 240000LL})
        gaps.Swap(at);
    EXPECT_EQ(gaps.SceneLongestUs(), 120000);
    EXPECT_EQ(gaps.SceneLongestSwap(), 3);
    EXPECT_EQ(gaps.SceneMedianUs(), 40000 + FrameGaps::BinUs);
    // Ten seconds of composition before the next scene's first swap are no frame gap.
    gaps.StartScene();
    EXPECT_EQ(gaps.SceneFirstSwapUs(), -1);
    gaps.Swap(10240000);
    gaps.Swap(10270000);
    EXPECT_EQ(gaps.Scene(), 2);
    EXPECT_EQ(gaps.SceneFirstSwapUs(), 10240000);
    EXPECT_EQ(gaps.LastSwapUs(), 10270000);
    EXPECT_EQ(gaps.SceneLongestUs(), 30000);
    EXPECT_EQ(gaps.SceneLongestSwap(), 1);
    EXPECT_EQ(gaps.Gaps(), 5);
    EXPECT_EQ(gaps.LongestUs(), 120000);
    EXPECT_EQ(gaps.LongestScene(), 1);
    EXPECT_EQ(gaps.LongestSwap(), 3);
    EXPECT_EQ(gaps.PercentileUs(99), 120000); // never above the longest
    EXPECT_EQ(gaps.GapsFrom(80000), 1);
    EXPECT_EQ(gaps.GapsFrom(30000), 5);
    EXPECT_EQ(gaps.GapsFrom(30100), 4);
}

TEST(FrameGaps, PercentilesMatchASortedReferenceWithinABin) {
    std::mt19937 bits(3);
    std::lognormal_distribution<double> frameMs(3.5, 0.6);
    FrameGaps gaps;
    std::vector<long long> reference;
    long long now = 0;
    for (int scene = 0; scene < 4; ++scene) {
        gaps.StartScene();
        now += 5000000;
        gaps.Swap(now);
        for (int frame = 0; frame < 700; ++frame) {
            const auto gap = static_cast<long long>(frameMs(bits) * 1000.0);
            reference.push_back(gap);
            now += gap;
            gaps.Swap(now);
        }
    }
    // One gap beyond the histogram's range.
    now += 5000000;
    gaps.Swap(now);
    reference.push_back(5000000);
    std::sort(reference.begin(), reference.end());
    ASSERT_EQ(gaps.Gaps(), static_cast<long long>(reference.size()));
    for (const int percent : {50, 90, 99}) {
        const long long exact = reference[(reference.size() * percent + 99) / 100 - 1];
        EXPECT_GE(gaps.PercentileUs(percent), exact) << percent;
        EXPECT_LT(gaps.PercentileUs(percent), exact + FrameGaps::BinUs) << percent;
    }
    EXPECT_EQ(gaps.PercentileUs(100), 5000000);
    EXPECT_EQ(gaps.LongestUs(), 5000000);
    const auto from = std::lower_bound(reference.begin(), reference.end(), 80000);
    EXPECT_EQ(gaps.GapsFrom(80000), reference.end() - from);
}

namespace {

double Number(const std::string& text, const std::string& pattern) {
    std::smatch match;
    if (!std::regex_search(text, match, std::regex(pattern)))
        return -1.0;
    return std::stod(match[1]);
}

} // namespace

// A short run: its figures must agree with one another and with the scene lines.
TEST(FrameGaps, BenchReportIsConsistent) {
    auto store = std::make_unique<MemoryProfileStore>();
    store->SetRaw("FramesPerSecond", "25");
    store->SetRaw("Polygons", "2500");
    BenchOptions options;
    options.width = 64;
    options.height = 48;
    options.sceneFrames = 6;
    options.scenes = 4;
    options.seconds = 600;
    options.seed = 77;
    testing::internal::CaptureStdout();
    const int status = RunBench(options, std::move(store));
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(status, 0) << out;

    std::istringstream lines(out);
    std::string line;
    int scenes = 0;
    int changes = 0;
    double longestOfScenes = 0;
    double slowestChange = 0;
    while (std::getline(lines, line)) {
        const double longest = Number(line, R"(gaps median [\d.]+ ms longest ([\d.]+) ms)");
        if (longest < 0)
            continue;
        ++scenes;
        EXPECT_LE(Number(line, R"(gaps median ([\d.]+) ms)"), longest) << line;
        longestOfScenes = std::max(longestOfScenes, longest);
        const double change = Number(line, R"(change ([\d.]+) ms)");
        if (change >= 0) {
            ++changes;
            // The change holds the scene's composition.
            EXPECT_GE(change + 1.0, Number(line, R"(compose +(\d+) ms)")) << line;
            slowestChange = std::max(slowestChange, change);
        }
    }
    EXPECT_EQ(scenes, 4) << out;
    EXPECT_EQ(changes, 3) << out;
    EXPECT_EQ(Number(out, R"(scene changes (\d+))"), 3.0) << out;
    EXPECT_EQ(Number(out, R"(\nseed (\d+))"), 77.0) << out;
    const double longest = Number(out, R"(frame gaps inside scenes \d+ +longest ([\d.]+) ms)");
    const double p99 = Number(out, R"(p99 ([\d.]+) ms)");
    EXPECT_DOUBLE_EQ(longest, longestOfScenes) << out;
    EXPECT_GE(longest, p99) << out;
    EXPECT_GE(p99, 0.0) << out;
    // Each scene swaps at least its six frames: five gaps or more.
    EXPECT_GE(Number(out, R"(frame gaps inside scenes (\d+))"), 4 * 5.0) << out;
    const double slowest = Number(out, R"(scene changes \d+ +slowest ([\d.]+) ms)");
    EXPECT_DOUBLE_EQ(slowest, slowestChange) << out;
    const double parts =
        Number(out, R"(end of the scene before ([\d.]+) ms)") +
        Number(out, R"(its teardown ([\d.]+) ms)") + Number(out, R"(start (-?[\d.]+) ms)") +
        Number(out, R"(composition (\d+) ms, first)") + Number(out, R"(first frame ([\d.]+) ms)");
    // The parts are printed to the tenth of a millisecond.
    EXPECT_NEAR(parts, slowest, 0.5) << out;
}
