#pragma once

class Saver;

// The scene quantities motion reads each frame, gathered once so that movers, rotaters and
// colour changers can be driven by plain numbers.
struct SceneClock {
    int frameNumber = 0; // frames drawn since the scene started, 0 for the first
    float sceneTime = 0; // frameNumber as a float
    int cycleFrames = 1; // frames in one scene, at least 1

    static SceneClock Of(const Saver& scene);
};
