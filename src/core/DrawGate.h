#pragma once

#include "core/StopRequest.h"

// What long set-up work (mesh generation, pattern searches, plasma subdivision, line
// drawings) asks before each step: false when input is waiting or drawing has stopped, and
// the work then gives up at once, keeping what it built. The scene window answers it; work
// given no gate (nullptr) gives up only when the run is asked to stop.
class DrawGate {
public:
    virtual ~DrawGate() = default;
    virtual bool CanDraw() = 0;
};

// A null gate lets the work go on until a stop is requested.
inline bool CanGoOn(DrawGate* gate) {
    return !StopRequest::Raised() && (gate == nullptr || gate->CanDraw());
}
