#pragma once

#include <memory>
#include <optional>

class ProfileStore;

// kinetora --bench [--seconds S] [--scenes N] [--frames K] [--seed N] [--size WxH]
//                  [--windows N]
struct BenchOptions {
    double seconds = 10.0;
    int width = 800;
    int height = 600;
    // A scene makes way after this many frames (ten seconds at the paced rate), so that a
    // run samples many scenes; a shorter scene ends by itself.
    int sceneFrames = 250;
    // The run ends after this many scenes, or at the time limit if that comes first (0: no
    // limit on scenes).
    int scenes = 0;
    // Scene windows played at once, each on a context of its own, two frames a paint in
    // turn; every line then names its window, and each window has its own summary.
    int windows = 1;
    std::optional<long> seed;
};

// Plays scenes off screen, unpaced, for options.seconds and prints one line per scene
// (shape and mover classes, shapes, polygons, composition time, frames, frames per second,
// then what is alive once the scene is gone: display lists, textures, photographs, texture
// objects, resident memory, the median and longest gap between two swaps inside the scene and the
// scene change before it) and a summary with the resident memory from scene 50 on, the longest
// gap and the 99th percentile over every scene, the gaps of two frame periods or more, and the
// slowest scene change (from the last swap of one scene to the first of the next, in parts:
// the end of the scene before, its teardown, composition, first frame). The settings
// come from store and are never written back; scenes cut short are not measured, so every scene is
// composed for the budget the settings hold. Returns the process exit status; SIGTERM, SIGINT or
// SIGHUP end the run within a frame with the summary of the scenes so far and 128 + the signal, so
// that a script can tell a measurement cut short from a complete one.
int RunBench(const BenchOptions& options, std::unique_ptr<ProfileStore> store);
