#pragma once

#include "core/Random.h"
#include "core/tvTimer.h"
#include "motion/FrameContext.h"
#include "motion/MotionContext.h"
#include "scene/SceneSetup.h"
#include "shapes/SceneKind.h"

#include <ctime>
#include <memory>
#include <optional>
#include <vector>

class Background;
class ColourTable;
class GLContext;
class Primitives;
class RegSettings;
class Shape;
class TextureImage;

// One scene: everything that does not depend on what is drawn (camera path, cycle length,
// lights, materials, background kind), bursts of frames, and the measurement that adapts
// the polygon budget of later scenes. Motion is counted in frames: movers, rotaters and
// colour changers read the frame's clock (ThisFrame()), never the wall clock.
class Saver {
public:
    using ShapeList = std::vector<std::unique_ptr<Shape>>;

    // Composes the scene-wide parts from a generator seeded with setup.seed; the setup must
    // carry settings, a colour table and a view, and its GL context (if any) be current.
    explicit Saver(SceneSetup setup);
    virtual ~Saver();
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    // One paint's worth of frames: returns at once when input is waiting.
    virtual void Frame();
    // The burst of frames.
    virtual void Draw() = 0;
    // glFinish unless the window is stopped.
    virtual void Finish();
    // The scene has ended, its room was given up by a stop, or the window is stopped.
    virtual bool IsDone() const;

    // What the current frame offers its shapes; a scene without shapes has no group scale
    // and an empty list.
    virtual FrameContext ThisFrame() const;
    virtual const ShapeList& Shapes() const;

    Random& Rand() { return m_Rand; }
    // The run's settings and the window's colour table.
    RegSettings& Settings() const;
    const ColourTable& Colours() const;
    // The room around the shapes, or null.
    Background* GetBackground() const { return m_pBackground.get(); }
    // The performance factor (not capped) when the scene was composed.
    double Performance() const { return m_Performance; }
    GLContext* GL() const { return m_Setup.gl; }
    // The primitive solids' lists of the scene's GL context; null without a context.
    Primitives* Solids() const;
    // What the movers, rotaters and colour changers read while the scene composes: the
    // colour table's size and bands (after a photograph's recolouring), the viewport's
    // aspect ratio and the settings' frame rate and performance.
    MotionContext Motion() const;

    int frameNumber() const { return m_FrameNumber; }
    float sceneTime() const { return m_SceneTime; }
    int cycleFrames() const { return m_CycleFrames; }

    // Polygons one frame of this scene costs.
    int Polygons() const { return m_Polygons; }
    // Wall-clock milliseconds the composition took, and when it ended.
    long long ComposeMs() const { return m_StartClock - m_ComposeStartMs; }
    long long StartClockMs() const { return m_StartClock; }
    // Processor milliseconds of the scene-wide part of the composition (kind, photograph,
    // room, lights, materials), which a loaded machine does not stretch as it does the
    // wall clock.
    long long BaseComposeCpuMs() const { return m_BaseComposeCpuMs; }
    SceneKind Kind() const { return m_Kind; }
    float Shininess() const { return m_Shininess; }
    float CamFreqX() const { return m_CamFreqX; }
    float CamFreqY() const { return m_CamFreqY; }
    float CamFreqZ() const { return m_CamFreqZ; }
    float CamAmpX() const { return m_CamAmpX; }
    float CamAmpY() const { return m_CamAmpY; }
    float CamAmpZ() const { return m_CamAmpZ; }

    // After a burst timed by meter: a burst of at least a second that input did not cut
    // short updates the frame-rate records and the polygon budget in the settings.
    void Measure(tvTimer& meter);

    // What a burst of frames in ms milliseconds makes of a scene of the given cost.
    struct Rate {
        int fps;      // 1..25
        int polygons; // the next scenes' budget, at least MinPolygons
    };
    static std::optional<Rate> RateOfBurst(int frames, long long ms, int scenePolygons);

    // 1500 frames at speed 50, fewer when faster; at least 1.
    static int CycleFramesFor(int speed);

    static constexpr int MinPolygons = 262;
    static constexpr int MaxFramesPerSecond = 25;

    // Milliseconds on a steady wall clock (not CPU time): the base of the slowness limit.
    static long long WallClockMs();
    // Processor milliseconds of the whole process since start, a std::clock() value.
    static long long CpuMsSince(std::clock_t start);

protected:
    SceneView& View() const { return *m_Setup.view; }

    SceneSetup m_Setup;
    std::unique_ptr<Background> m_pBackground;
    Random m_Rand;
    float m_CamFreqX = 0, m_CamFreqY = 0, m_CamFreqZ = 0;
    float m_CamAmpX = 0, m_CamAmpY = 0, m_CamAmpZ = 0;
    int m_Polygons = 0;
    SceneKind m_Kind = SceneKind::Plain;
    long long m_StartClock = 0;
    // Restarted with m_StartClock; reads the timers' clock, which on a real display does not
    // count the time the process spent stopped.
    tvTimer m_SceneTimer;
    int m_SlowLimitMs = 12 * 1000;
    bool m_bDone = false;
    int m_FrameNumber = 0;
    float m_SceneTime = 0;
    int m_CycleFrames = 1;
    float m_Shininess = 0;
    int m_FrameAtStart = 0;
    // Milliseconds of the burst spent drawing and swapping, not waiting for the pace.
    long long m_BurstBusyMs = 0;
    long long m_ComposeStartMs = 0;
    double m_Performance = 1.0;
    long long m_BaseComposeCpuMs = 0;

private:
    void ChooseKind();
    // The photograph of a photograph scene (which turns plain when it cannot be shown),
    // else null.
    std::unique_ptr<TextureImage> LoadPhoto();
    void ChooseBackground(std::unique_ptr<TextureImage> photo);
    void SetupGLState();
    void SetupMaterials();
};
