#pragma once

#include "core/Random.h"
#include "core/tvTimer.h"

#include <ctime>
#include <memory>
#include <optional>
#include <vector>

class Background;
class CSceneWnd;
class ColourTable;
class GLContext;
class Primitives;
class RegSettings;
class Shape;
class TextureImage;

// One scene: everything that does not depend on what is drawn (camera path, cycle length,
// lights, materials, background kind), bursts of frames, and the measurement that adapts
// the polygon budget of later scenes. Motion is counted in frames: movers, rotaters and
// colour changers read frameNumber(), sceneTime() and cycleFrames(), never the clock.
class Saver {
public:
    using ShapeList = std::vector<std::unique_ptr<Shape>>;

    // Scene kinds, handed to the background.
    enum Kind { KindPlain = 0, KindPhoto = 1, KindPattern = 2 };

    // Composes the scene-wide parts from a generator seeded by one next() of the window's
    // run generator; wnd must be attached to a run with settings, and its GL context current.
    explicit Saver(CSceneWnd* wnd);
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

    // What the group scale and the group movers read; a scene without shapes has no scale
    // (1 on every axis) and an empty list.
    virtual bool ScaleAnimated() const { return false; }
    virtual float ScaleX() const { return 1.0f; }
    virtual float ScaleY() const { return 1.0f; }
    virtual float ScaleZ() const { return 1.0f; }
    virtual const ShapeList& Shapes() const;

    Random& Rand() { return m_Rand; }
    // The run's settings and the window's colour table.
    RegSettings& Settings() const;
    const ColourTable& Colours() const;
    // The photograph of a photograph scene until the room takes it, else null.
    TextureImage* PhotoTexture() const { return m_pPhoto.get(); }
    // Hands the photograph over to the room being built (null when there is none).
    std::unique_ptr<TextureImage> TakePhoto();
    // The room around the shapes, or null.
    Background* GetBackground() const { return m_pBackground.get(); }
    // The performance factor (not capped) when the scene was composed.
    double Performance() const { return m_Performance; }
    GLContext* GL() const { return m_pGL; }
    // The primitive solids' lists of the scene's GL context; null without a context.
    Primitives* Solids() const;
    CSceneWnd* Wnd() const { return m_pWnd; }

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
    int SceneKind() const { return m_Kind; }
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

protected:
    // A scene that composes nothing and touches neither the run nor OpenGL: the base of test
    // scenes for shapes and movers.
    struct Blank {
        CSceneWnd* wnd = nullptr; // needed only by shapes that look up their colour
        int seed = 1;
        int cycleFrames = 1500;
    };
    explicit Saver(const Blank& blank);

public:
    // Milliseconds on a steady wall clock (not CPU time): the base of the slowness limit.
    static long long WallClockMs();
    // Processor milliseconds of the whole process since start, a std::clock() value.
    static long long CpuMsSince(std::clock_t start);

protected:
    CSceneWnd* m_pWnd = nullptr;
    GLContext* m_pGL = nullptr;
    std::unique_ptr<Background> m_pBackground;
    Random m_Rand;
    float m_CamFreqX = 0, m_CamFreqY = 0, m_CamFreqZ = 0;
    float m_CamAmpX = 0, m_CamAmpY = 0, m_CamAmpZ = 0;
    int m_Polygons = 0;
    int m_Kind = KindPlain;
    std::unique_ptr<TextureImage> m_pPhoto;
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
    void LoadPhoto();
    void ChooseBackground();
    void SetupGLState();
    void SetupMaterials();
};
