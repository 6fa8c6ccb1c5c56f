#include "meshes/PolyExtrude.h"

#include "core/WeightedChoice.h"
#include "meshes/PolyExtrudeCog.h"
#include "meshes/PolyExtrudePoly.h"
#include "meshes/PolyExtrudeStar.h"

#include <iterator>

namespace {

struct ExtrusionKind {
    int kind;
    float weight;
    std::unique_ptr<PolyExtrude> (*make)(Random&, int, const MeshContext&);
};

std::unique_ptr<PolyExtrude> MakePoly(Random& rng, int resolution, const MeshContext& context) {
    return std::make_unique<PolyExtrudePoly>(rng, resolution, 0.0f, 0.0f, 0.0f, true, true, true,
                                             context);
}

template <class T>
std::unique_ptr<PolyExtrude> Make(Random& rng, int resolution, const MeshContext& context) {
    return std::make_unique<T>(rng, resolution, context);
}

// The index is the kind number.
const ExtrusionKind kKinds[] = {
    {PolyExtrude::kPoly, 100, &MakePoly},
    {PolyExtrude::kStar, 50, &Make<PolyExtrudeStar>},
    {PolyExtrude::kCog, 50, &Make<PolyExtrudeCog>},
};

} // namespace

std::vector<float> PolyExtrude::KindWeights() {
    std::vector<float> weights;
    for (const ExtrusionKind& kind : kKinds)
        weights.push_back(kind.weight);
    return weights;
}

std::unique_ptr<PolyExtrude> PolyExtrude::Create(Random& rng, int resolution,
                                                 const MeshContext& context) {
    WeightedChoice choice;
    choice.setWeights(KindWeights(), true);
    return CreateKind(choice.choose(rng, nullptr, 10), rng, resolution, context);
}

std::unique_ptr<PolyExtrude> PolyExtrude::CreateKind(int kind, Random& rng, int resolution,
                                                     const MeshContext& context) {
    if (kind < 0 || kind >= static_cast<int>(std::size(kKinds)))
        kind = kPoly;
    return kKinds[kind].make(rng, resolution, context);
}
