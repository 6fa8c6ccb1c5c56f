#pragma once

// What long set-up work (mesh generation, pattern searches, plasma subdivision, line
// drawings) asks before each step: false when input is waiting or drawing has stopped, and
// the work then gives up at once, keeping what it built. The scene window answers it; work
// given no gate (nullptr) never gives up.
class DrawGate {
public:
    virtual ~DrawGate() = default;
    virtual bool CanDraw() = 0;
};

// A null gate always lets the work go on.
inline bool CanGoOn(DrawGate* gate) {
    return gate == nullptr || gate->CanDraw();
}
