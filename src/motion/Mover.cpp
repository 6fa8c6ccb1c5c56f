#include "motion/Mover.h"

#include "core/FloatArray.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "motion/MotionContext.h"
#include "motion/MoverBounce.h"
#include "motion/MoverCollide.h"
#include "motion/MoverExplode.h"
#include "motion/MoverFollow.h"
#include "motion/MoverOrbit.h"
#include "motion/MoverPolar.h"
#include "motion/MoverSin.h"
#include "motion/MoverSwarm.h"
#include "motion/MoverXYZ.h"

Mover::Mover(Random& rng) : m_pRand(&rng) {
    const MotionContext context = MotionContext::Current();
    if (rng.uniform() < 0.5) {
        // Few gradients in a large table: neighbouring offsets look alike, so groups spread
        // their members over the table.
        m_bColourBySpread = static_cast<double>(context.bandCount) / context.colourCount < 0.1;
    }
}

void Mover::FrameUpdate(Saver&) {}

void Mover::AddVelocity(float, float, float) {}

int Mover::PolygonReserve(int) const {
    return 0;
}

int Mover::Sign() {
    return m_pRand->below(2) == 1 ? 1 : -1;
}

namespace {

enum MoverKind {
    KindSin = 0,
    KindPolar = 1,
    KindExplode = 2,
    KindFollow = 3,
    KindBounce = 4,
    KindSwarm = 5,
    KindOrbit = 6,
    KindCollide = 7,
    KindXYZ = 8,
};

FloatArray MoverWeights(float q) {
    return {
        100.0f,    // KindSin
        50.0f,     // KindPolar
        70.0f,     // KindExplode
        70.0f,     // KindFollow
        80.0f,     // KindBounce
        200.0f,    // KindSwarm
        80.0f * q, // KindOrbit
        80.0f * q, // KindCollide
        120.0f,    // KindXYZ
    };
}

} // namespace

std::unique_ptr<Mover> Mover::Create(Random& rng) {
    WeightedChoice kinds;
    kinds.setWeights(MoverWeights(MotionContext::Current().performance1), false);
    switch (kinds.choose(rng, nullptr, 10)) {
    case KindPolar:
        return std::make_unique<MoverPolar>(rng);
    case KindFollow:
        return std::make_unique<MoverFollow>(rng);
    case KindBounce:
        return std::make_unique<MoverBounce>(rng);
    case KindExplode:
        return std::make_unique<MoverExplode>(rng);
    case KindSwarm:
        return std::make_unique<MoverSwarm>(rng);
    case KindOrbit:
        return std::make_unique<MoverOrbit>(rng);
    case KindCollide:
        return std::make_unique<MoverCollide>(rng);
    case KindXYZ:
        return std::make_unique<MoverXYZ>(rng);
    case KindSin:
    default:
        return std::make_unique<MoverSin>(rng);
    }
}
