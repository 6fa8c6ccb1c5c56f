#include "patterns/PatternCalculator.h"

#include "core/DrawGate.h"
#include "core/IntGrid.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "patterns/PatternCheckered.h"
#include "patterns/PatternFloat.h"
#include "patterns/PatternFractal.h"
#include "patterns/PatternInt.h"
#include "patterns/PatternLimn.h"
#include "patterns/PatternMath.h"
#include "patterns/PatternNetwork.h"
#include "patterns/PatternNoise.h"
#include "patterns/PatternPlasma.h"
#include "patterns/PatternSin.h"

#include <algorithm>
#include <iterator>

namespace {

enum class Offer { Always, Rich, RichDeveloper };

using MakePattern = std::unique_ptr<PatternCalculator> (*)(Random&, const PatternContext&);

struct PatternKind {
    const char* name;
    float weight;
    Offer offer;
    MakePattern make; // null: not built yet, offered with weight 0
};

template <class T>
std::unique_ptr<PatternCalculator> Make(Random& rng, const PatternContext& context) {
    return std::make_unique<T>(rng, context);
}

// The kinds of family 1; the index is the kind number. A kind not built yet keeps its row
// (and the single choose() draw) with weight 0 until its constructor is filled in.
const PatternKind kKinds[] = {
    {"network", 100, Offer::Always, &Make<PatternNetwork>},   // 0
    {"sin", 100, Offer::Always, &Make<PatternSin>},           // 1
    {"fractal", 100, Offer::Always, &Make<PatternFractal>},   // 2
    {"int", 100, Offer::Always, &Make<PatternInt>},           // 3
    {"float", 40, Offer::Always, &Make<PatternFloat>},        // 4
    {"noise", 100, Offer::Always, &Make<PatternNoise>},       // 5
    {"plasma", 100, Offer::Rich, &Make<PatternPlasma>},       // 6
    {"limn", 100, Offer::RichDeveloper, &Make<PatternLimn>},  // 7
    {"checkered", 5, Offer::Always, &Make<PatternCheckered>}, // 8
};
constexpr int kDefaultKind = 1; // built for any kind outside the table

float OfferedWeight(const PatternKind& kind, bool rich, bool developerMode) {
    if (kind.make == nullptr)
        return 0.0f;
    switch (kind.offer) {
    case Offer::Rich:
        return rich ? kind.weight : 0.0f;
    case Offer::RichDeveloper:
        return rich && developerMode ? kind.weight : 0.0f;
    case Offer::Always:
    default:
        return kind.weight;
    }
}

PatternContext Sound(PatternContext context) {
    context.colourCount = std::max(context.colourCount, 1);
    return context;
}

} // namespace

PatternCalculator::PatternCalculator(Random& rng, const PatternContext& context)
    : m_pRand(&rng), m_Context(Sound(context)) {}

PatternCalculator::~PatternCalculator() = default;

std::unique_ptr<PatternCalculator> PatternCalculator::Create(Random& rng, int /*family*/, bool rich,
                                                             const PatternContext& context) {
    FloatArray weights;
    weights.reserve(std::size(kKinds));
    for (const PatternKind& kind : kKinds)
        weights.push_back(OfferedWeight(kind, rich, context.developerMode));
    WeightedChoice choice;
    choice.setWeights(weights, false);
    const int drawn = choice.choose(rng, nullptr, 10);
    const bool known =
        drawn >= 0 && drawn < static_cast<int>(std::size(kKinds)) && kKinds[drawn].make != nullptr;
    const MakePattern make = kKinds[known ? drawn : kDefaultKind].make;
    if (make == nullptr)
        return nullptr; // only while the default kind itself is not built
    return make(rng, context);
}

bool PatternCalculator::CanGoOn() const {
    return ::CanGoOn(m_Context.gate);
}

void PatternCalculator::FillGrid(IntGrid& grid, int width, int height, bool mirror) {
    grid.Resize(width, height);
    const int n = ColourCount();
    Randomize(2, 1, false, 2);
    const int xs = mirror ? (width + 1) / 2 : width;
    const int ys = mirror ? (height + 1) / 2 : height;
    FloatArray in(2);
    FloatArray out(static_cast<std::size_t>(std::max(Channels(1), 1)));
    for (int i = 0; i < xs; ++i) {
        in[0] = static_cast<float>(2 * i) / static_cast<float>(width) - 1.0f;
        for (int j = 0; j < ys; ++j) {
            in[1] = static_cast<float>(2 * j) / static_cast<float>(height) - 1.0f;
            Calculate(in, out);
            const int cell = PatternColourIndex(out[0], n);
            grid(i, j) = cell;
            if (mirror) {
                grid(width - 1 - i, j) = cell;
                grid(i, height - 1 - j) = cell;
                grid(width - 1 - i, height - 1 - j) = cell;
            }
        }
    }
}

void PatternCalculator::Prepare(int /*width*/, int /*height*/) {}

void PatternCalculator::CalculateSigned(const FloatArray& inputs, FloatArray& outputs) {
    Calculate(inputs, outputs);
    // Only the produced channels: the others hold whatever the caller left there.
    const std::size_t produced = std::min(
        outputs.size(), static_cast<std::size_t>(Channels(static_cast<int>(outputs.size()))));
    for (std::size_t k = 0; k < produced; ++k)
        outputs[k] = 2.0f * outputs[k] - 1.0f;
}

int PatternColourIndex(float v, int n) {
    n = std::max(n, 1);
    const int index = TruncToInt(static_cast<double>(static_cast<float>(n) * v)) % n;
    return index < 0 ? index + n : index;
}
