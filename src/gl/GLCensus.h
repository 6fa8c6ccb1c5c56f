#pragma once

// Counts of the GL objects alive in the current context, for leak checks across scenes.
// Each asks the context about every name up to beyond the highest one handed out so far,
// so it costs a few milliseconds: for benchmarks and tests, never per frame.
namespace GLCensus {
// Display lists, however they were made.
int LiveLists();
// Texture objects: one per texture alive.
int LiveTextureObjects();
} // namespace GLCensus
