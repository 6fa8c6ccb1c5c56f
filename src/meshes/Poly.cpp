#include "meshes/Poly.h"

#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "meshes/PolyBead.h"
#include "meshes/PolyCartesian.h"
#include "meshes/PolyCube.h"
#include "meshes/PolyCylindrical.h"
#include "meshes/PolyExtrude.h"
#include "meshes/PolyPawn.h"
#include "meshes/PolySphere.h"
#include "meshes/PolySpherical.h"

#include <iterator>

namespace {

using MakeMesh = std::unique_ptr<Poly> (*)(Random&, int, bool, const MeshContext&);

struct MeshKind {
    int kind;
    float weight;
    MakeMesh make;
};

template <class T>
std::unique_ptr<Poly> Make(Random& rng, int resolution, bool randomOptions,
                           const MeshContext& context) {
    return std::make_unique<T>(rng, resolution, randomOptions, context);
}

std::unique_ptr<Poly> MakeExtrusion(Random& rng, int resolution, bool, const MeshContext& context) {
    return PolyExtrude::Create(rng, resolution, context);
}

// In slot order: the slot is what the weighted choice draws, the kind what callers name.
const MeshKind kSlots[] = {
    {Poly::kCube, 80, &Make<PolyCube>},
    {Poly::kSphere, 40, &Make<PolySphere>},
    {Poly::kHemiSphere, 50, &Make<PolyHemiSphere>},
    {Poly::kPawn, 40, &Make<PolyPawn>},
    {Poly::kSpherical, 20, &Make<PolySpherical>},
    {Poly::kCylindrical, 40, &Make<PolyCylindrical>},
    {Poly::kCartesian, 10, &Make<PolyCartesian>},
    {Poly::kBead, 300, &Make<PolyBead>},
    {Poly::kRoundedBead, 30, &Make<PolyRoundedBead>},
    {Poly::kSphere8, 10, &Make<PolySphere>},
    {Poly::kSphere9, 30, &Make<PolySphere>},
    {Poly::kExtrusion, 200, &MakeExtrusion},
};

// Kinds 8 and 9 are held back from every draw (only a 20th draw can still yield them).
constexpr int kAlwaysExcluded[] = {Poly::kSphere8, Poly::kSphere9};

} // namespace

Poly::Poly(Random& rng, bool randomOptions, const MeshContext& context)
    : m_pRand(&rng), m_pGate(context.gate) {
    if (randomOptions) {
        m_bAllColumns = rng.uniform() < 0.98;
        m_bAllRows = rng.uniform() < 0.9;
    }
}

Poly::~Poly() = default;

std::vector<int> Poly::SlotKinds() {
    std::vector<int> kinds;
    for (const MeshKind& slot : kSlots)
        kinds.push_back(slot.kind);
    return kinds;
}

std::vector<float> Poly::SlotWeights() {
    std::vector<float> weights;
    for (const MeshKind& slot : kSlots)
        weights.push_back(slot.weight);
    return weights;
}

std::unique_ptr<Poly> Poly::Create(Random& rng, int resolution, const std::vector<int>* excluded,
                                   bool randomOptions, const MeshContext& context) {
    const std::vector<int> kinds = SlotKinds();
    std::vector<int> excludedSlots;
    if (excluded != nullptr)
        for (const int kind : *excluded)
            WeightedChoice::AppendIndexOf(kinds, kind, excludedSlots);
    for (const int kind : kAlwaysExcluded)
        WeightedChoice::AppendIndexOf(kinds, kind, excludedSlots);
    WeightedChoice choice;
    choice.setWeights(SlotWeights(), true);
    const int slot = choice.choose(rng, &excludedSlots, 20);
    const int kind =
        slot >= 0 && slot < static_cast<int>(std::size(kSlots)) ? kSlots[slot].kind : kCube;
    return CreateKind(kind, rng, resolution, randomOptions, context);
}

std::unique_ptr<Poly> Poly::CreateKind(int kind, Random& rng, int resolution, bool randomOptions,
                                       const MeshContext& context) {
    for (const MeshKind& slot : kSlots)
        if (slot.kind == kind)
            return slot.make(rng, resolution, randomOptions, context);
    return std::make_unique<PolyCube>(rng, resolution, randomOptions, context);
}
