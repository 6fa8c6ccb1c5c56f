#include "patterns/PatternFloat.h"

#include "core/Maths.h"
#include "core/Random.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::array<float, 5> kSamples{-1.0f, -0.5f, 0.0f, 0.5f, 1.0f};

} // namespace

PatternFloat::PatternFloat(Random& rng, const PatternContext& context)
    : PatternCalculator(rng, context) {
    m_Cx = static_cast<float>(rng.symmetric());
    m_Cy = static_cast<float>(rng.symmetric());
    m_Norm = std::sqrt(8.0f);
}

void PatternFloat::Execute(int position, float x, float y) {
    tvVectorStack<float>& stack = m_Stack;
    const int size = stack.Size();
    const int op = m_Program[position];
    // Ops that push, then ops on the top alone, then ops that combine the top two.
    switch (op) {
    case 0:
        stack.Push(std::clamp(x, -1.0f, 1.0f));
        return;
    case 1:
        stack.Push(std::clamp(y, -1.0f, 1.0f));
        return;
    case 7:
        stack.Push(m_Constants[static_cast<std::size_t>(position)]);
        return;
    default:
        break;
    }
    if (size < 1)
        return;
    float& top = stack.Top();
    const float frequency = m_Frequencies[static_cast<std::size_t>(position)];
    switch (op) {
    case 3:
        if (size < 2) {
            top = top * top;
            return;
        }
        break;
    case 5:
        if (size < 2) {
            top = -top;
            return;
        }
        break;
    case 9:
        top = std::sqrt(std::fabs(top));
        return;
    case 10:
        top = top * top;
        return;
    case 11:
        top = maths::Sin(frequency * top);
        return;
    case 12:
        top = maths::Cos(frequency * top);
        return;
    default:
        break;
    }
    if (size < 2)
        return;
    const float t = stack.Top();
    stack.Pop();
    float& s = stack.Top();
    switch (op) {
    case 2:
        s = (t + s) / 2.0f;
        break;
    case 3:
        s = t * s;
        break;
    case 4:
        // The smaller magnitude over the larger.
        if (std::fabs(s) > std::fabs(t) && s != 0.0f)
            s = t / s;
        else if (t != 0.0f)
            s = s / t;
        break;
    case 5:
        s = (t - s) / 2.0f;
        break;
    case 6:
        s = std::sqrt((t - m_Cx) * (t - m_Cx) + (s - m_Cy) * (s - m_Cy)) / m_Norm;
        break;
    case 8: {
        const float below = s;
        s = t;
        stack.Push(below);
        break;
    }
    case 13:
        s = std::max(t, s);
        break;
    case 14:
        s = std::min(t, s);
        break;
    case 15:
        s = (std::fabs(t - m_Cx) + std::fabs(s - m_Cy)) / 4.0f;
        break;
    default:
        stack.Push(t); // not an op: the top stays
        break;
    }
}

float PatternFloat::Run(float x, float y) {
    m_Stack.Clear();
    for (int position = 0; position < m_Program.Length(); ++position)
        Execute(position, x, y);
    return m_Stack.IsEmpty() ? 0.0f : m_Stack.Top();
}

void PatternFloat::Calculate(const FloatArray& inputs, FloatArray& outputs) {
    const float x = Input(inputs, 0);
    const float y = inputs.size() >= 2 ? inputs[1] : x;
    outputs[0] = Run(x, y) * 0.5f + 0.5f;
}

int PatternFloat::DistinctSamples(int inputs) {
    std::array<float, kSamples.size() * kSamples.size()> seen{};
    std::size_t distinct = 0;
    const auto note = [&](float r) {
        const float out = r * 0.5f + 0.5f;
        if (std::find(seen.begin(), seen.begin() + distinct, out) == seen.begin() + distinct)
            seen[distinct++] = out;
    };
    for (const float x : kSamples) {
        if (inputs == 1) {
            note(Run(x, x));
            continue;
        }
        for (const float y : kSamples)
            note(Run(x, y));
    }
    return static_cast<int>(distinct);
}

void PatternFloat::Randomize(int inputs, int /*outputs*/, bool /*regular*/, int /*bias*/) {
    Random& rng = Rand();
    while (!m_bRandomized) {
        for (float& constant : m_Constants)
            constant = static_cast<float>(rng.symmetric());
        for (float& frequency : m_Frequencies)
            frequency = static_cast<float>(rng.below(6) + 1);
        int first = 0;
        if (inputs == 1) {
            m_Program.Clear(rng.skewed(7, 2) + 1);
            first = 1; // op 0 pushes x
        } else {
            m_Program.Clear(rng.below(7) + 3);
            m_Program.DrawInputOrder(rng);
            first = 2;
        }
        m_Program.DrawOps(rng, first, 16);
        Run(0.5f, 0.5f);
        m_Program.Fold(rng, m_Stack.Size(), 5);

        const int distinct = DistinctSamples(inputs);
        m_bRandomized = m_Tries++ >= kMaxTries - 1 || distinct > 2 * inputs;
        if (!m_bRandomized && !CanGoOn())
            return;
    }
}
