#pragma once

class PolyFacet;

// Where a mesh generator hands each finished facet. The facet is reused by the generator
// after the call: a sink keeps a copy. Returning false asks the generator to stop (the grid
// generators other than the cube do).
class UsesPoly {
public:
    virtual ~UsesPoly() = default;
    virtual bool AddFacet(const PolyFacet& facet) = 0;
};
