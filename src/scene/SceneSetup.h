#pragma once

#include <functional>
#include <string>

class ColourTable;
class GLContext;
class RegSettings;
class SceneView;
class WeightedChoice;

// Everything a scene is composed from, handed over by its window once per scene; the
// scene keeps the pointers for its lifetime, which the window outlives.
struct SceneSetup {
    // The scene's generator seed: one next() of the run's generator.
    int seed = 1;
    RegSettings* settings = nullptr;
    // The window's colour table; a photograph scene may recolour its bands.
    ColourTable* colours = nullptr;
    // The shape factory's kind choice for this run.
    const WeightedChoice* kinds = nullptr;
    // The next photograph by the settings' order; empty when the window has none.
    std::function<std::string()> nextImagePath;
    int width = 800;
    int height = 600;
    // Null: nothing is drawn (the scene still composes and draws its numbers).
    GLContext* gl = nullptr;
    SceneView* view = nullptr;
};
