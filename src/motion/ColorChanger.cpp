#include "motion/ColorChanger.h"

#include "core/FloatArray.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "motion/ColorChangerCycle.h"
#include "motion/ColorChangerNone.h"
#include "motion/ColorChangerPosition.h"
#include "motion/MotionContext.h"
#include "motion/SceneClock.h"

#include <iterator>
#include <typeinfo>

int ColorChanger::ColorIndex(const FrameContext& frame, float x, float y, float z) const {
    return Index(frame.clock.frameNumber, x, y, z);
}

namespace {

// Where a kind's weight comes from: the number as written, or the number only for colour
// tables of at most 10 bands (walking through many short bands would flicker), else 0.
enum class Weight { Fixed, FewBands };

template <class T> std::unique_ptr<ColorChanger> Make(Random& rng) {
    return std::make_unique<T>(rng);
}

template <class T> bool Is(const ColorChanger& changer) {
    return typeid(changer) == typeid(T);
}

struct ColorChangerKind {
    int kind;
    const char* name;
    Weight source;
    float weight;
    std::unique_ptr<ColorChanger> (*make)(Random&);
    bool (*is)(const ColorChanger&);
};

// Every kind the factory knows, in kind order: the row's index is its kind.
constexpr ColorChangerKind kColorChangerKinds[] = {
    {0, "none", Weight::Fixed, 100.0f, Make<ColorChangerNone>, Is<ColorChangerNone>},
    {1, "cycle", Weight::FewBands, 100.0f, Make<ColorChangerCycle>, Is<ColorChangerCycle>},
    {2, "position", Weight::FewBands, 100.0f, Make<ColorChangerPosition>, Is<ColorChangerPosition>},
};

constexpr bool KindsInOrder() {
    for (std::size_t i = 0; i < std::size(kColorChangerKinds); ++i)
        if (kColorChangerKinds[i].kind != static_cast<int>(i))
            return false;
    return true;
}
static_assert(KindsInOrder(), "a row's index must be its kind");

} // namespace

std::unique_ptr<ColorChanger> ColorChanger::Create(Random& rng, const MotionContext& motion,
                                                   const std::vector<int>* excluded) {
    const bool fewBands = motion.bandCount <= 10;
    FloatArray weights;
    for (const ColorChangerKind& row : kColorChangerKinds)
        weights.push_back(row.source == Weight::FewBands && !fewBands ? 0.0f : row.weight);
    WeightedChoice kinds;
    kinds.setWeights(weights, false);
    const int kind = kinds.choose(rng, excluded, 10);
    const ColorChangerKind& row =
        kColorChangerKinds[kind >= 0 && kind < std::ssize(kColorChangerKinds) ? kind : 0];
    return row.make(rng);
}

int ColorChanger::KindOf(const ColorChanger& changer) {
    for (const ColorChangerKind& row : kColorChangerKinds)
        if (row.is(changer))
            return row.kind;
    return -1;
}
