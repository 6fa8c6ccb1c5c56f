#pragma once

#include "patterns/PatternCalculator.h"

#include <vector>

// A randomly wired layered network of sine-activated neurons: layer 0 takes the point, the
// last layer gives one value in [0, 1] per channel. The one calculator that fills several
// independent channels (a three-channel texture in one pass).
class PatternNetwork : public PatternCalculator {
public:
    PatternNetwork(Random& rng, const PatternContext& context);

    bool IsVector() const override { return true; }
    // 3..10 layers (skewed by bias): inputs neurons first, outputs neurons last, 2..11 in
    // each layer between. regular: zero phases and activation kind 0, no thresholds.
    void Randomize(int inputs, int outputs, bool regular, int bias) override;
    // Fills min(outputs.size(), the channels drawn) values; nothing before Randomize.
    void Calculate(const FloatArray& inputs, FloatArray& outputs) override;
    int Channels(int wanted) const override { return wanted; }

    struct Neuron {
        std::vector<float> weights; // one per neuron of the previous layer
        float value = 0.0f;
        float threshold = 0.0f; // the neuron passes on 0 unless its value exceeds this
    };
    struct Layer {
        std::vector<Neuron> neurons;
        float phase = 0.0f; // radians
        int kind = 0;       // 0: (sin + 1) / 2, 1: |sin|, 2: fractional part of |s| / 4
    };
    const std::vector<Layer>& Layers() const { return m_Layers; }

private:
    std::vector<Layer> m_Layers;
};
