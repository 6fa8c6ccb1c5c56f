#pragma once

#include <memory>
#include <optional>

class ProfileStore;

// kinetora --bench [--seconds S] [--seed N] [--size WxH]
struct BenchOptions {
    double seconds = 10.0;
    int width = 800;
    int height = 600;
    std::optional<long> seed;
};

// Plays scenes off screen, unpaced, for options.seconds and prints one line per scene
// (shape and mover classes, shapes, polygons, composition time, frames, frames per second)
// and a summary. The settings come from store and are never written back. Returns the
// process exit status.
int RunBench(const BenchOptions& options, std::unique_ptr<ProfileStore> store);
