#include "motion/Mover.h"

#include "core/FloatArray.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "motion/MoverBounce.h"
#include "motion/MoverCollide.h"
#include "motion/MoverExplode.h"
#include "motion/MoverFollow.h"
#include "motion/MoverOrbit.h"
#include "motion/MoverPolar.h"
#include "motion/MoverSin.h"
#include "motion/MoverSwarm.h"
#include "motion/MoverXYZ.h"

#include <iterator>
#include <typeinfo>

Mover::Mover(Random& rng, const MotionContext& motion) : m_pRand(&rng), m_Motion(motion) {
    if (rng.uniform() < 0.5) {
        // Few gradients in a large table: neighbouring offsets look alike, so groups spread
        // their members over the table.
        m_bColourBySpread = static_cast<double>(motion.bandCount) / motion.colourCount < 0.1;
    }
}

void Mover::FrameUpdate(const FrameContext&) {}

void Mover::AddVelocity(float, float, float) {}

int Mover::PolygonReserve(int) const {
    return 0;
}

int Mover::Sign() {
    return m_pRand->below(2) == 1 ? 1 : -1;
}

namespace {

// Where a kind's weight comes from: the number as written, or the number times the
// machine's performance capped at 1 (the kinds whose cost grows with the group).
enum class Weight { Fixed, Performance };

template <class T> std::unique_ptr<Mover> Make(Random& rng, const MotionContext& motion) {
    return std::make_unique<T>(rng, motion);
}

template <class T> bool Is(const Mover& mover) {
    return typeid(mover) == typeid(T);
}

struct MoverKind {
    int kind;
    const char* name;
    Weight source;
    float weight;
    std::unique_ptr<Mover> (*make)(Random&, const MotionContext&);
    bool (*is)(const Mover&);
};

// Every kind the factory knows, in kind order: the row's index is its kind.
constexpr MoverKind kMoverKinds[] = {
    {0, "sin", Weight::Fixed, 100.0f, Make<MoverSin>, Is<MoverSin>},
    {1, "polar", Weight::Fixed, 50.0f, Make<MoverPolar>, Is<MoverPolar>},
    {2, "explode", Weight::Fixed, 70.0f, Make<MoverExplode>, Is<MoverExplode>},
    {3, "follow", Weight::Fixed, 70.0f, Make<MoverFollow>, Is<MoverFollow>},
    {4, "bounce", Weight::Fixed, 80.0f, Make<MoverBounce>, Is<MoverBounce>},
    {5, "swarm", Weight::Fixed, 200.0f, Make<MoverSwarm>, Is<MoverSwarm>},
    {6, "orbit", Weight::Performance, 80.0f, Make<MoverOrbit>, Is<MoverOrbit>},
    {7, "collide", Weight::Performance, 80.0f, Make<MoverCollide>, Is<MoverCollide>},
    {8, "xyz", Weight::Fixed, 120.0f, Make<MoverXYZ>, Is<MoverXYZ>},
};

constexpr bool KindsInOrder() {
    for (std::size_t i = 0; i < std::size(kMoverKinds); ++i)
        if (kMoverKinds[i].kind != static_cast<int>(i))
            return false;
    return true;
}
static_assert(KindsInOrder(), "a row's index must be its kind");

FloatArray MoverWeights(float performance1) {
    FloatArray weights;
    for (const MoverKind& row : kMoverKinds)
        weights.push_back(row.source == Weight::Performance ? row.weight * performance1
                                                            : row.weight);
    return weights;
}

} // namespace

std::unique_ptr<Mover> Mover::Create(Random& rng, const MotionContext& motion) {
    WeightedChoice kinds;
    kinds.setWeights(MoverWeights(motion.performance1), false);
    const int kind = kinds.choose(rng, nullptr, 10);
    // choose only returns table indices; the guard keeps a bad table from indexing out.
    const MoverKind& row = kMoverKinds[kind >= 0 && kind < std::ssize(kMoverKinds) ? kind : 0];
    return row.make(rng, motion);
}

int Mover::KindOf(const Mover& mover) {
    for (const MoverKind& row : kMoverKinds)
        if (row.is(mover))
            return row.kind;
    return -1;
}
