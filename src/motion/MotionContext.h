#pragma once

// What movers, rotaters and colour changers read from the scene being composed: its window's
// colour table size and band count, the viewport's aspect ratio (width / height), the frame
// rate the settings store keeps and the performance factor capped at 1. Only composition
// reads them (constructors and Setup), never a frame.
struct MotionContext {
    int colourCount = 256;
    int bandCount = 1;
    float aspect = 1.0f;
    float framesPerSecond = 25.0f;
    float performance1 = 1.0f;

    // The pinned values while a ScopedMotionContext lives, else the defaults above.
    static MotionContext Current();
};

// Pins the context for its lifetime: a scene pins its window's values while it composes,
// tests and tools pin their own. Scopes nest; the previous pin comes back on destruction.
class ScopedMotionContext {
public:
    explicit ScopedMotionContext(const MotionContext& context);
    ~ScopedMotionContext();
    ScopedMotionContext(const ScopedMotionContext&) = delete;
    ScopedMotionContext& operator=(const ScopedMotionContext&) = delete;

private:
    MotionContext m_Context;
    const MotionContext* m_pPrevious;
};
