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

    // The pinned values while a ScopedMotionContext lives, else the source's values now
    // (the run's scene window and settings); the defaults above without a source.
    static MotionContext Current();
};

// Where MotionContext::Current() reads when nothing is pinned. The scene window of a run
// registers itself, so motion reads the window without depending on it.
class MotionSource {
public:
    virtual MotionContext Motion() const = 0;
    // The source Current() reads, or null; a source unregisters itself before it goes.
    static void Set(const MotionSource* source);
    static const MotionSource* Get();

protected:
    ~MotionSource() = default;
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
