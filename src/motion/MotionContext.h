#pragma once

// What movers, rotaters and colour changers read from the scene being composed: its window's
// colour table size and band count, the viewport's aspect ratio (width / height), the frame
// rate the settings store keeps and the performance factor capped at 1. The scene hands its
// values to the factories; only composition reads them (constructors and Setup), never a
// frame.
struct MotionContext {
    int colourCount = 256;
    int bandCount = 1;
    float aspect = 1.0f;
    float framesPerSecond = 25.0f;
    float performance1 = 1.0f;
};
