#pragma once

#include "motion/SceneClock.h"

#include <memory>
#include <span>

class ColourTable;
class Primitives;
class Shape;

// The breathing scale of the whole group, applied to every shape after its turn.
struct GroupScale {
    bool animated = false;
    float x = 1.0f, y = 1.0f, z = 1.0f;
};

// What one frame of a scene offers the shapes and their movers, rotaters and colour
// changers: handed down the frame, so that nothing reaches back up to the scene.
struct FrameContext {
    SceneClock clock;
    GroupScale scale;
    // Every shape of the scene, the prototype first (group movers push each other).
    std::span<const std::unique_ptr<Shape>> shapes;
    // The scene colour table; shapes that wear a table colour need one.
    const ColourTable* colours = nullptr;
    // The primitive solids' lists of the scene's GL context; null: nothing is drawn.
    Primitives* solids = nullptr;
};
