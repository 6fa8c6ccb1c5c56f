#include "motion/SceneClock.h"

#include "scene/Saver.h"

SceneClock SceneClock::Of(const Saver& scene) {
    return {scene.frameNumber(), scene.sceneTime(), scene.cycleFrames()};
}
