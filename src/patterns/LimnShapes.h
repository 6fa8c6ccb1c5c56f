#pragma once

#include "patterns/Limn.h"

// The line drawing of the pattern kinds: sets up the canvas (mirror, jitter), then creates
// the figures and lets them keep apart.
class LimnShapes : public Limn {
public:
    // allowGrid offers a background grid, which nothing asks for; it is not drawn.
    LimnShapes(Random& rng, Canvas& canvas, bool toggle, bool allowGrid, int colourCount);
};
