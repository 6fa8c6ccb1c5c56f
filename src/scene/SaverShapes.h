#pragma once

#include "scene/Background.h"
#include "scene/Saver.h"
#include "shapes/Shape.h"

// The shapes scene: one prototype shape cloned until the polygon budget is spent, all
// moved by the same kind of mover, with a camera circling the origin and, now and then, a
// breathing scale of the whole group.
class SaverShapes : public Saver {
public:
    // Composes the scene (the base's parts first); the window's GL context must be current.
    explicit SaverShapes(CSceneWnd* wnd);
    // The same with another source of the prototype than the shape factory (tests); null
    // is the shape factory.
    using PrototypeFactory = std::unique_ptr<Shape> (*)(Random& rng, const MotionContext& motion,
                                                        const std::vector<int>* excluded);
    SaverShapes(CSceneWnd* wnd, PrototypeFactory factory);
    ~SaverShapes() override;

    // What the room reads when its first frame builds it.
    Background::Room RoomOf() const;

    // Frames until input arrives, the window stops or the scene ends, paced to one per
    // FramePeriodMs from the run's second frame on; then the burst is measured.
    void Draw() override;

    bool ScaleAnimated() const override { return m_bScaleAnimated; }
    float ScaleX() const override { return m_ScaleX; }
    float ScaleY() const override { return m_ScaleY; }
    float ScaleZ() const override { return m_ScaleZ; }
    // Every shape of the scene, the prototype first.
    const ShapeList& Shapes() const override { return m_Shapes; }

    Shape* Prototype() const { return m_Shapes.empty() ? nullptr : m_Shapes.front().get(); }
    bool Blend() const { return m_bBlend; }
    int ColorStep() const { return m_ColorStep; }
    bool ScalesX() const { return m_bScaleX; }
    bool ScalesY() const { return m_bScaleY; }
    bool ScalesZ() const { return m_bScaleZ; }

    // The frame after which a scene ends: the whole cycle, or a share of it on machines
    // below 15 frames per second.
    static int LastFrame(int cycleFrames, int framesPerSecond);

    static constexpr int FramePeriodMs = 40;
    // Frames that must be drawn within the slowness limit.
    static constexpr int SlowCheckFrame = 100;
    // Inside a frame: shapes between two readings of the clock, the time between two
    // flushes (and input checks), and the age after which input abandons the frame.
    static constexpr int ShapesPerClockRead = 8;
    static constexpr int SliceMs = 8;
    static constexpr int LateFrameMs = 2 * FramePeriodMs;

private:
    class FrameSlices {
    public:
        explicit FrameSlices(long long now) : m_FrameStart(now), m_SliceStart(now) {}
        bool GoOn(SaverShapes& scene);

    private:
        long long m_FrameStart;
        long long m_SliceStart;
    };

    // What the shape factory reads from this scene and its window.
    ShapeContext ShapeContextOf(CSceneWnd& wnd) const;
    void AddShapes();
    void ChooseGroupScale();
    void SetupShapes();
    // The run is ending: the window stopped or a stop was requested; in a full-screen run a
    // key or button already waiting counts, so that it ends a frame at its next slice.
    bool Stopping() const;
    // False when the frame was abandoned part-way (a stop, or input once it was late).
    bool DrawFrame();
    // Runs the shapes' list where nothing can be drawn, on the first frame.
    void PrepareShapeList() const;
    void PlaceCamera(float t) const;
    void UpdateGroupScale(float t);
    void Pace(tvTimer& pace) const;

    int m_ColorStep = 1;
    ShapeList m_Shapes;
    float m_ScaleFreqX = 0, m_ScaleFreqY = 0, m_ScaleFreqZ = 0;
    bool m_bScaleX = false, m_bScaleY = false, m_bScaleZ = false;
    bool m_bScaleAnimated = false;
    float m_ScaleX = 1, m_ScaleY = 1, m_ScaleZ = 1;
    bool m_bBlend = false;
    // The run's first frame shows the room at once; the shapes' list is prepared after it.
    bool m_bPrepareAfterSwap = false;
};
