#include "patterns/PatternNetwork.h"
#include "core/Random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

bool EveryLayerKind2(const PatternNetwork& network) {
    const auto& layers = network.Layers();
    for (std::size_t i = 1; i < layers.size(); ++i)
        if (layers[i].kind != 2)
            return false;
    return true;
}

} // namespace

TEST(PatternNetwork, LayersAreShapedAsAsked) {
    for (int seed = 1; seed <= 200; ++seed) {
        Random rng(seed);
        PatternNetwork network(rng, PatternContext{});
        network.Randomize(2, 3, false, 2);
        const auto& layers = network.Layers();
        ASSERT_GE(layers.size(), 3u);
        ASSERT_LE(layers.size(), 10u);
        EXPECT_EQ(layers.front().neurons.size(), 2u);
        EXPECT_EQ(layers.back().neurons.size(), 3u);
        for (std::size_t i = 1; i < layers.size(); ++i) {
            if (i + 1 < layers.size()) {
                EXPECT_GE(layers[i].neurons.size(), 2u);
                EXPECT_LE(layers[i].neurons.size(), 11u);
            }
            EXPECT_GE(layers[i].kind, 0);
            EXPECT_LE(layers[i].kind, 2);
            for (const auto& neuron : layers[i].neurons) {
                ASSERT_EQ(neuron.weights.size(), layers[i - 1].neurons.size());
                for (const float w : neuron.weights)
                    EXPECT_LE(std::fabs(w), 8.0f);
                if (i + 1 == layers.size()) {
                    EXPECT_EQ(neuron.threshold, 0.0f);
                }
            }
        }
    }
}

TEST(PatternNetwork, Kind2InEveryLayerStaysBelowOne) {
    int found = 0;
    FloatArray in(2);
    FloatArray out(1);
    for (int seed = 1; seed <= 3000; ++seed) {
        Random rng(seed);
        PatternNetwork network(rng, PatternContext{});
        network.Randomize(2, 1, false, 2);
        if (!EveryLayerKind2(network))
            continue;
        ++found;
        for (int i = 0; i <= 64; ++i) {
            for (int j = 0; j <= 64; ++j) {
                in = {i / 32.0f - 1.0f, j / 32.0f - 1.0f};
                network.Calculate(in, out);
                ASSERT_GE(out[0], 0.0f);
                ASSERT_LT(out[0], 1.0f) << "seed " << seed;
            }
        }
    }
    EXPECT_GT(found, 3);
}

TEST(PatternNetwork, RegularModeHasNoPhasesKindsOrThresholds) {
    for (int seed = 1; seed <= 100; ++seed) {
        Random rng(seed);
        PatternNetwork network(rng, PatternContext{});
        network.Randomize(2, 1, true, 2);
        for (const auto& layer : network.Layers()) {
            EXPECT_EQ(layer.phase, 0.0f);
            EXPECT_EQ(layer.kind, 0);
            for (const auto& neuron : layer.neurons)
                EXPECT_EQ(neuron.threshold, 0.0f);
        }
    }
}

TEST(PatternNetwork, FillsExactlyTheChannelsAskedFor) {
    for (const int wanted : {1, 3}) {
        Random rng(wanted * 17);
        PatternNetwork network(rng, PatternContext{});
        EXPECT_TRUE(network.IsVector());
        EXPECT_EQ(network.Channels(wanted), wanted);
        network.Randomize(2, wanted, false, 2);
        FloatArray in{0.3f, -0.6f};
        FloatArray out(4, -7.0f);
        network.Calculate(in, out);
        for (int k = 0; k < 4; ++k) {
            if (k < wanted) {
                EXPECT_GE(out[k], 0.0f);
                EXPECT_LE(out[k], 1.0f);
            } else {
                EXPECT_EQ(out[k], -7.0f) << "channel " << k << " of " << wanted;
            }
        }
    }
}

TEST(PatternNetwork, RandomizesOnce) {
    Random rng(5);
    Random twin(5);
    PatternNetwork network(rng, PatternContext{});
    PatternNetwork other(twin, PatternContext{});
    network.Randomize(2, 1, false, 2);
    other.Randomize(2, 1, false, 2);
    network.Randomize(2, 5, false, 2);
    EXPECT_EQ(network.Layers().back().neurons.size(), 1u);
    EXPECT_EQ(rng.next(), twin.next()); // the second call drew nothing
}

// Thousands of networks of one to three channels, regular and not, sampled over the plane
// and beyond it: every produced value in [0, 1]. The sanitizer run checks the arithmetic.
TEST(PatternNetworkSeeds, ValuesStayInRangeForThousandsOfSeeds) {
    FloatArray in(2);
    FloatArray out(3);
    for (int seed = 1; seed <= 3000; ++seed) {
        Random rng(seed);
        PatternNetwork network(rng, PatternContext{});
        const int channels = 1 + seed % 3;
        network.Randomize(2, channels, seed % 7 == 0, 1 + seed % 4);
        for (int i = 0; i < 5; ++i) {
            for (int j = 0; j < 5; ++j) {
                in = {i * 0.6f - 1.2f, j * 0.6f - 1.2f};
                network.Calculate(in, out);
                for (int k = 0; k < channels; ++k) {
                    ASSERT_GE(out[k], 0.0f) << "seed " << seed;
                    ASSERT_LE(out[k], 1.0f) << "seed " << seed;
                }
            }
        }
    }
}
