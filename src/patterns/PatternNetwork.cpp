#include "patterns/PatternNetwork.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "patterns/PatternMath.h"

#include <algorithm>
#include <cmath>

namespace {

float Output(const PatternNetwork::Neuron& neuron) {
    return neuron.value > neuron.threshold ? neuron.value : 0.0f;
}

float Activate(const PatternNetwork::Layer& layer, float s) {
    switch (layer.kind) {
    case 1:
        return std::fabs(maths::Sin(layer.phase + s));
    case 2: {
        const float q = std::fabs(s) / 4.0f;
        return q - std::trunc(q);
    }
    case 0:
    default:
        return (maths::Sin(layer.phase + s) + 1.0f) / 2.0f;
    }
}

} // namespace

PatternNetwork::PatternNetwork(Random& rng, const PatternContext& context)
    : PatternCalculator(rng, context) {}

void PatternNetwork::Randomize(int inputs, int outputs, bool regular, int bias) {
    if (m_bRandomized)
        return;
    Random& rng = Rand();
    const int count = rng.skewed(8, bias) + 3;
    m_Layers.assign(static_cast<std::size_t>(count), Layer{});
    for (int i = 0; i < count; ++i) {
        int neurons = 0;
        if (i == 0)
            neurons = inputs;
        else if (i == count - 1)
            neurons = outputs;
        else
            neurons = rng.skewed(10, 3) + 2;
        m_Layers[i].neurons.assign(static_cast<std::size_t>(std::max(neurons, 0)), Neuron{});
    }
    for (Layer& layer : m_Layers)
        layer.phase = regular ? 0.0f : static_cast<float>(kPi * rng.symmetric());
    for (Layer& layer : m_Layers)
        layer.kind = regular ? 0 : rng.skewed(3, 2);

    double scale = 0.0;
    if (rng.uniform() < 0.1 && !regular) {
        const double a = rng.uniform();
        scale = a * (rng.uniform() * 0.5);
    }
    for (int i = 1; i < count; ++i) {
        const bool hidden = i < count - 1;
        const std::size_t previous = m_Layers[i - 1].neurons.size();
        for (Neuron& neuron : m_Layers[i].neurons) {
            neuron.threshold = hidden ? static_cast<float>(rng.uniform() * scale) : 0.0f;
            neuron.weights.resize(previous);
            for (float& weight : neuron.weights)
                weight = static_cast<float>(8.0 * rng.symmetric());
        }
    }
    m_bRandomized = true;
}

void PatternNetwork::Calculate(const FloatArray& inputs, FloatArray& outputs) {
    if (m_Layers.empty())
        return;
    std::vector<Neuron>& first = m_Layers.front().neurons;
    for (std::size_t k = 0; k < first.size(); ++k)
        first[k].value = (Input(inputs, k) + 1.0f) / 2.0f;
    for (std::size_t i = 1; i < m_Layers.size(); ++i) {
        const std::vector<Neuron>& previous = m_Layers[i - 1].neurons;
        for (Neuron& neuron : m_Layers[i].neurons) {
            float s = 0.0f;
            for (std::size_t k = 0; k < previous.size(); ++k)
                s += Output(previous[k]) * neuron.weights[k];
            neuron.value = Activate(m_Layers[i], s);
        }
    }
    const std::vector<Neuron>& last = m_Layers.back().neurons;
    const std::size_t produced = std::min(outputs.size(), last.size());
    for (std::size_t k = 0; k < produced; ++k)
        outputs[k] = Output(last[k]);
}
