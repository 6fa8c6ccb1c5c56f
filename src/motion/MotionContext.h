#pragma once

// What movers, rotaters and colour changers read from the running application: the scene
// colour table's size and band count, the viewport's aspect ratio (width / height), the
// frame rate the settings store keeps and the performance factor capped at 1.
struct MotionContext {
    int colourCount = 256;
    int bandCount = 1;
    float aspect = 1.0f;
    float framesPerSecond = 25.0f;
    float performance1 = 1.0f;

    // The scene window's and settings' values now, or the pinned ones while a
    // ScopedMotionContext lives; the defaults above when there is no scene window.
    static MotionContext Current();
};

// Pins the context for its lifetime, so motion arithmetic runs without a scene window
// (tests, tools). Scopes nest; the previous pin comes back on destruction.
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
