#include "colour/ColorMaker.h"

#include "colour/ColorMakerCalc.h"
#include "colour/ColorMakerCheckered.h"
#include "colour/ColorMakerConst.h"
#include "colour/ColorMakerIndex.h"
#include "colour/ColourTable.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"

#include <algorithm>
#include <iterator>

namespace {

struct MakerKind {
    const char* name;
    float weight;
    std::unique_ptr<ColorMaker> (*make)(Random&, const ColourTable&, DrawGate*, bool, int);
};

template <class T>
std::unique_ptr<ColorMaker> Make(Random& rng, const ColourTable& table, DrawGate*, bool, int) {
    return std::make_unique<T>(rng, table);
}

std::unique_ptr<ColorMaker> MakeCalc(Random& rng, const ColourTable& table, DrawGate* gate,
                                     bool developerMode, int sceneSize) {
    return std::make_unique<ColorMakerCalc>(rng, table, gate, developerMode, sceneSize);
}

// The index is the kind number.
const MakerKind kKinds[] = {
    {"index", 5, &Make<ColorMakerIndex>},
    {"calc", 100, &MakeCalc},
    {"const", 20, &Make<ColorMakerConst>},
    {"checkered", 0, &Make<ColorMakerCheckered>},
};
constexpr int kDefaultKind = 0; // built for any kind outside the table

} // namespace

ColorMaker::ColorMaker(Random& rng, const ColourTable& table)
    : m_ColourCount(std::max(table.colourCount(), 1)), m_pRand(&rng), m_pTable(&table) {}

FloatArray ColorMaker::KindWeights() {
    FloatArray weights;
    for (const MakerKind& kind : kKinds)
        weights.push_back(kind.weight);
    return weights;
}

std::unique_ptr<ColorMaker> ColorMaker::Create(Random& rng, const std::vector<int>* excluded,
                                               const ColourTable& table, DrawGate* gate,
                                               bool developerMode, int sceneSize) {
    WeightedChoice choice;
    choice.setWeights(KindWeights(), true);
    int kind = choice.choose(rng, excluded, 10);
    if (kind < 0 || kind >= static_cast<int>(std::size(kKinds)))
        kind = kDefaultKind;
    return kKinds[kind].make(rng, table, gate, developerMode, sceneSize);
}

void ColorMaker::Prepare(int /*rows*/, int /*columns*/) {}

Color ColorMaker::TableColor(int index) const {
    return m_pTable->TableColor(index);
}
