#pragma once

#include "scene/Background.h"
#include "scene/Saver.h"
#include "shapes/Shape.h"

// The shapes scene: one prototype shape cloned until the polygon budget is spent, all
// moved by the same kind of mover, with a camera circling the origin and, now and then, a
// breathing scale of the whole group.
class SaverShapes : public Saver {
public:
    // Composes the scene (the base's parts first); the setup's GL context must be current.
    explicit SaverShapes(SceneSetup setup);
    // The same with another source of the prototype than the shape factory (tests); null
    // is the shape factory.
    using PrototypeFactory = std::unique_ptr<Shape> (*)(Random& rng, const MotionContext& motion,
                                                        const std::vector<int>* excluded);
    SaverShapes(SceneSetup setup, PrototypeFactory factory);
    ~SaverShapes() override;

    // What the room reads when its first frame builds it.
    Background::Room RoomOf() const;

    // Frames until input arrives, the window stops or the scene ends, paced to one per
    // FramePeriodMs from the run's second frame on; then the burst is measured.
    void Draw() override;

    // The clock, the group scale and every shape.
    FrameContext ThisFrame() const override;
    // Every shape of the scene, the prototype first.
    const ShapeList& Shapes() const override { return m_Shapes; }

    Shape* Prototype() const { return m_Shapes.empty() ? nullptr : m_Shapes.front().get(); }
    bool Blend() const { return m_bBlend; }
    int ColorStep() const { return m_ColorStep; }
    bool ScalesX() const { return m_bScaleX; }
    bool ScalesY() const { return m_bScaleY; }
    bool ScalesZ() const { return m_bScaleZ; }
    const GroupScale& Scale() const { return m_Scale; }

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
    ShapeContext ShapeContextOf() const;
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
    GroupScale m_Scale;
    bool m_bBlend = false;
    // The run's first frame shows the room at once; the shapes' list is prepared after it.
    bool m_bPrepareAfterSwap = false;
};
