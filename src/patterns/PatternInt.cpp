#include "patterns/PatternInt.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "patterns/PatternMath.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

constexpr std::array<float, 5> kSamples{-1.0f, -0.5f, 0.0f, 0.5f, 1.0f};

// Two's complement wrap-around to 32 bits, defined for every 64-bit value.
int Wrap(long long v) {
    return static_cast<int>(v);
}

long long Magnitude(int v) {
    return std::llabs(static_cast<long long>(v));
}

// below(|t|) for every t: |INT_MIN| does not fit below()'s int, so that one case scales the
// same uniform draw itself.
int Noise(Random& rng, int t) {
    const long long n = Magnitude(t);
    if (n <= INT_MAX)
        return rng.below(static_cast<int>(n));
    return static_cast<int>(rng.uniform() * static_cast<double>(n));
}

} // namespace

PatternInt::PatternInt(Random& rng, const PatternContext& context)
    : PatternCalculator(rng, context), m_Scale(std::max(context.sceneSize, 1)) {}

void PatternInt::Execute(int position, int x, int y) {
    tvVectorStack<int>& stack = m_Stack;
    const int size = stack.Size();
    const int op = m_Program[position];
    const long long scale = m_Scale;
    // Ops that push, then ops on the top alone, then ops that combine the top two.
    switch (op) {
    case 0:
        stack.Push(x);
        return;
    case 1:
        stack.Push(y);
        return;
    case 11:
        stack.Push(m_Constants[static_cast<std::size_t>(position)]);
        return;
    default:
        break;
    }
    if (size < 1)
        return;
    int& top = stack.Top();
    const long long t = top;
    switch (op) {
    case 2:
        if (size < 2) {
            top = Wrap(2 * t);
            return;
        }
        break;
    case 3:
        if (size < 2) {
            top = Wrap(t * t % scale);
            return;
        }
        break;
    case 5:
        if (size < 2) {
            top = Wrap(-t);
            return;
        }
        break;
    case 12:
        stack.Push(Noise(Rand(), top));
        return;
    case 14:
        top = TruncToInt(std::sqrt(static_cast<double>(Magnitude(top))));
        return;
    case 15:
        if (t != 0)
            top = TruncToInt(maths::Log(static_cast<double>(Magnitude(top))));
        return;
    case 16:
        top = Wrap(t * t % scale);
        return;
    case 17:
        top = TruncToInt(maths::Sin(static_cast<double>(t) / static_cast<double>(scale) * kPi) *
                         static_cast<double>(scale));
        return;
    default:
        break;
    }
    if (size < 2)
        return;
    stack.Pop();
    int& below = stack.Top();
    const long long s = below;
    switch (op) {
    case 2:
        below = Wrap(s + t);
        break;
    case 3:
        below = Wrap(t * s % scale);
        break;
    case 4:
        below = t == 0 ? 0 : Wrap(s / t);
        break;
    case 5:
        below = Wrap(t - s);
        break;
    case 6:
        below = Wrap(t ^ s);
        break;
    case 7:
        if (std::llabs(t) >= 2)
            below = Wrap(s % std::llabs(t));
        else
            stack.Push(static_cast<int>(t)); // |t| < 2: the stack stays as it was
        break;
    case 8:
        below = Wrap(t & s);
        break;
    case 9:
        if (std::llabs(t) >= 100 || std::llabs(s) >= 100)
            below = Wrap((t + s) / 4);
        else
            below = TruncToInt(std::sqrt(static_cast<double>(t * t + s * s)));
        break;
    case 10:
        below = Wrap(t | s);
        break;
    case 13:
        below = static_cast<int>(t);
        stack.Push(static_cast<int>(s));
        break;
    default:
        stack.Push(static_cast<int>(t)); // not an op: the top stays
        break;
    }
}

int PatternInt::Run(int x, int y) {
    m_Stack.Clear();
    for (int position = 0; position < m_Program.Length(); ++position)
        Execute(position, x, y);
    return m_Stack.IsEmpty() ? 0 : m_Stack.Top();
}

int PatternInt::Pixel(float coordinate) const {
    return TruncToInt((static_cast<double>(coordinate) * 0.5 + 0.5) * m_Scale);
}

float PatternInt::Value(int top) const {
    const long long r = Magnitude(top) % m_Scale;
    return static_cast<float>(r) / static_cast<float>(m_Scale);
}

void PatternInt::Calculate(const FloatArray& inputs, FloatArray& outputs) {
    const float x = Input(inputs, 0);
    const float y = inputs.size() >= 2 ? inputs[1] : x;
    outputs[0] = Value(Run(Pixel(x), Pixel(y)));
}

int PatternInt::DistinctSamples() {
    std::array<float, kSamples.size() * kSamples.size()> seen{};
    std::size_t distinct = 0;
    for (const float x : kSamples) {
        for (const float y : kSamples) {
            const float out = Value(Run(Pixel(x), Pixel(y)));
            if (std::find(seen.begin(), seen.begin() + distinct, out) == seen.begin() + distinct)
                seen[distinct++] = out;
        }
    }
    return static_cast<int>(distinct);
}

void PatternInt::Randomize(int /*inputs*/, int /*outputs*/, bool /*regular*/, int /*bias*/) {
    Random& rng = Rand();
    while (!m_bRandomized) {
        for (int& constant : m_Constants)
            constant = rng.below(m_Scale);
        m_Program.Clear(rng.below(19) + 3);
        m_Program.DrawInputOrder(rng);
        m_Program.DrawOps(rng, 2, 18);
        Run(Pixel(0.5f), Pixel(0.5f));
        m_Program.Fold(rng, m_Stack.Size(), 8);

        const int distinct = DistinctSamples();
        m_bRandomized = m_Tries++ >= kMaxTries - 1 || distinct > 4;
        if (!m_bRandomized && !CanGoOn())
            return;
    }
}
