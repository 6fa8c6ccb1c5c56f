#include "patterns/LimnShapes.h"

#include "core/Random.h"
#include "patterns/Canvas.h"

LimnShapes::LimnShapes(Random& rng, Canvas& canvas, bool, bool allowGrid, int colourCount)
    : Limn(rng, colourCount) {
    canvas.SetMirror(rng.uniform() < 0.05);
    canvas.SetJitter(rng.uniform() < 0.125);
    m_bShapesMode = true;
    m_bHalfRange = canvas.Mirror() && rng.flip() == 1;
    // Nothing asks for the background grid: its decision is drawn and no grid is drawn, so
    // the figures always follow (the flip that would skip them after a grid is still drawn).
    if (allowGrid)
        static_cast<void>(rng.uniform());
    rng.flip();
    Populate(canvas);
    Interact(static_cast<float>(rng.uniform()));
}
