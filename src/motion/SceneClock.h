#pragma once

// The scene quantities motion reads each frame, as plain numbers.
struct SceneClock {
    int frameNumber = 0; // frames drawn since the scene started, 0 for the first
    float sceneTime = 0; // frameNumber as a float
    int cycleFrames = 1; // frames in one scene, at least 1
};
