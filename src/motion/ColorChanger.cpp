#include "motion/ColorChanger.h"

#include "core/FloatArray.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "motion/ColorChangerCycle.h"
#include "motion/ColorChangerNone.h"
#include "motion/ColorChangerPosition.h"
#include "motion/MotionContext.h"
#include "motion/SceneClock.h"

int ColorChanger::ColorIndex(const Saver& scene, float x, float y, float z) const {
    return Index(SceneClock::Of(scene).frameNumber, x, y, z);
}

std::unique_ptr<ColorChanger> ColorChanger::Create(Random& rng, const std::vector<int>* excluded) {
    enum { KindNone, KindCycle, KindPosition };
    // Walking through a table of many short bands would flicker.
    const float varying = MotionContext::Current().bandCount <= 10 ? 100.0f : 0.0f;
    WeightedChoice kinds;
    kinds.setWeights(FloatArray{100.0f, varying, varying}, false);
    switch (kinds.choose(rng, excluded, 10)) {
    case KindCycle:
        return std::make_unique<ColorChangerCycle>(rng);
    case KindPosition:
        return std::make_unique<ColorChangerPosition>(rng);
    case KindNone:
    default:
        return std::make_unique<ColorChangerNone>(rng);
    }
}
