#pragma once

#include "core/Random.h"
#include "motion/FrameContext.h"
#include "motion/MotionContext.h"
#include "motion/Mover.h"
#include "shapes/Shape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

// A shape that draws nothing, carrying only a mover: enough to compose and step a scene of
// group movers without GL.
class BareShape : public Shape {
public:
    BareShape(Random& rng, std::unique_ptr<Mover> mover, float radius)
        : Shape(rng, MotionContext{}, false), m_Radius(radius) {
        SetMover(std::move(mover));
    }
    std::unique_ptr<Shape> Clone() const override {
        return std::unique_ptr<Shape>(new BareShape(*this));
    }
    void DrawShape(Primitives&) override {}
    float Radius() const override { return m_Radius; }
    int PolygonCount() const override { return 1; }

private:
    BareShape(const BareShape& source) = default;

    float m_Radius;
};

// A scene of bare shapes, one prototype and its clones, driven frame by frame the way the
// shapes scene drives them: every shape steps, then the prototype's FrameUpdate.
class GroupScene {
public:
    using ShapeList = std::vector<std::unique_ptr<Shape>>;

    explicit GroupScene(int cycleFrames) { m_Frame.clock.cycleFrames = std::max(1, cycleFrames); }

    const ShapeList& Shapes() const { return m_List; }
    // What the shapes' frame offers them.
    FrameContext Frame() const {
        FrameContext frame = m_Frame;
        frame.shapes = m_List;
        return frame;
    }

    // The prototype first, then clones; each is then set up in list order.
    void Compose(Random& rng, std::unique_ptr<Mover> prototype, int clones, float radius = 0.5f,
                 int colourStep = 3, int spread = 4) {
        m_List.push_back(std::make_unique<BareShape>(rng, std::move(prototype), radius));
        for (int i = 0; i < clones; ++i)
            m_List.push_back(m_List.front()->Clone());
        for (auto& shape : m_List)
            shape->Setup(Frame(), colourStep, spread);
    }

    void SetFrame(int frame) {
        m_Frame.clock.frameNumber = frame;
        m_Frame.clock.sceneTime = static_cast<float>(frame);
    }

    void StepAll() {
        for (auto& shape : m_List) {
            float x = shape->X(), y = shape->Y(), z = shape->Z();
            shape->GetMover()->Step(x, y, z, Frame());
            shape->SetPosition(x, y, z);
        }
    }

    void RunFrame(int frame) {
        SetFrame(frame);
        StepAll();
        m_List.front()->FrameUpdate(Frame());
    }

    Shape& At(std::size_t i) { return *m_List[i]; }
    template <class M> M& MoverAt(std::size_t i) {
        return dynamic_cast<M&>(*m_List[i]->GetMover());
    }
    std::size_t Count() const { return m_List.size(); }
    void Clear() { m_List.clear(); }

private:
    FrameContext m_Frame;
    ShapeList m_List;
};

// Colour table of 256 entries in 8 bands, 25 frames per second, full performance.
inline MotionContext DefaultMotion(float framesPerSecond = 25.0f) {
    MotionContext context;
    context.colourCount = 256;
    context.bandCount = 8;
    context.framesPerSecond = framesPerSecond;
    context.performance1 = 1.0f;
    return context;
}

// Group mover tests run under the default motion context.
class GroupMoverTest : public ::testing::Test {
protected:
    const MotionContext m_Motion{DefaultMotion()};
};
