#pragma once

#include <cstdint>

// The seed of a run that names none. The calendar time in seconds (the generator's own
// default) gives every saver started in the same second the same scenes, and a screen-saver
// daemon starts one per monitor at once; so the clock's nanoseconds and a value of this
// process alone are mixed in. A seed given on the command line still replays exactly.

// A well-mixed seed from a clock reading and a value unique to the process: every bit of
// either changes about half the bits of the result. Never negative (a negative seed replays
// its magnitude, so those would only repeat).
int MixSeed(std::uint64_t clockNs, std::uint64_t processTag);

// MixSeed of the calendar clock in nanoseconds and the process's own entropy.
int FreshSeed();
