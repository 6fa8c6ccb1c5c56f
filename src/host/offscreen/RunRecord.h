#pragma once

#include <memory>
#include <optional>
#include <string>

class ProfileStore;

// kinetora --record FILE|- [--frames K | --seconds S] [--size WxH] [--seed N]
struct RecordOptions {
    std::string path; // "-": the descriptor outputFd
    int frames = 250;
    int width = 800;
    int height = 600;
    std::optional<long> seed;
    int outputFd = 1;
};

// Draws options.frames frames of the normal scene code off screen, as --render draws them,
// and writes every one as a frame of a YUV4MPEG2 stream at 25 frames per second. The
// settings come from store and are never written back. What is drawn never depends on how
// fast the machine is: the run's timers count 40 ms a frame, and every scene keeps the
// polygon budget the run starts from (the stored record, or 25 frames per second at 2500
// polygons without one). A file is written in full or not at all. Returns the exit
// status: 0, or 1 with one line on standard error (bad options, a reader gone, a full
// disk); SIGTERM, SIGINT or SIGHUP end the run within a frame with 128 + the signal.
int RunRecord(const RecordOptions& options, std::unique_ptr<ProfileStore> store);
