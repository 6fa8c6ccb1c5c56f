#pragma once

#include "colour/ColourTable.h"
#include "core/DrawGate.h"
#include "meshes/Poly.h"
#include "meshes/PolyFacet.h"
#include "meshes/UsesPoly.h"

#include <cmath>
#include <vector>

// Keeps every facet a generator hands over; refuses them after a limit when one is set.
class MeshRecorder : public UsesPoly {
public:
    bool AddFacet(const PolyFacet& facet) override {
        facets.push_back(facet);
        return refuseAfter < 0 || static_cast<int>(facets.size()) < refuseAfter;
    }

    std::vector<PolyFacet> facets;
    int refuseAfter = -1;
};

// Says stop once it has been asked a given number of times (never when negative).
class CountingGate : public DrawGate {
public:
    bool CanDraw() override { return stopAt < 0 || ++asked < stopAt; }

    int asked = 0;
    int stopAt = -1;
};

// A scene colour table and a context for generators without a scene.
struct MeshTestContext {
    MeshTestContext() { table.BuildColourTableFromSeed(ColourTable::kDefaultSize, 12345); }

    MeshContext Context(DrawGate* gate = nullptr) const { return {table, gate, false}; }

    ColourTable table;
};

inline float Length(const std::array<float, 3>& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

inline std::array<float, 3> Centroid(const PolyFacet& facet) {
    std::array<float, 3> sum{};
    for (const PolyVertex& v : facet.Vertices())
        for (int k = 0; k < 3; ++k)
            sum[k] += v.position[k] / static_cast<float>(facet.Size());
    return sum;
}

inline float Dot(const std::array<float, 3>& a, const std::array<float, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
