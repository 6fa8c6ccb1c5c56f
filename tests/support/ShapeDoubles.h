#pragma once

#include "motion/ColorChanger.h"
#include "motion/Mover.h"
#include "motion/Rotater.h"
#include "shapes/Shape.h"

#include <GL/gl.h>

#include <array>
#include <string>
#include <vector>

// Behaviours and a shape that record what a frame does to them, with the GL matrix and
// colour they saw, so tests can check the order of a shape's frame.
struct FrameLog {
    std::vector<std::string> events;
    std::array<float, 16> turnMatrix{};
    std::array<float, 16> drawMatrix{};
    std::array<float, 4> drawColour{};
};

class LoggingMover : public Mover {
public:
    LoggingMover(Random& rng, FrameLog& log) : Mover(rng, MotionContext{}), m_pLog(&log) {}

    std::unique_ptr<Mover> Clone() const override { return std::make_unique<LoggingMover>(*this); }
    void Setup(Shape&, const FrameContext&, int, int) override {
        m_pLog->events.push_back("setup");
    }
    void StartPosition(float& x, float& y, float& z) override {
        x = 1.0f;
        y = 2.0f;
        z = 3.0f;
    }
    // Moves one unit along x per frame.
    void Step(float& x, float&, float&, const FrameContext&) override {
        m_pLog->events.push_back("step");
        x += 1.0f;
    }
    void FrameUpdate(const FrameContext&) override { m_pLog->events.push_back("update"); }
    int PolygonReserve(int) const override { return 0; }

    void SetVisible(bool visible) { m_bVisible = visible; }

    LoggingMover(const LoggingMover&) = default;

private:
    FrameLog* m_pLog;
};

// Turns by 90 degrees about z and notes the matrix it found.
class LoggingRotater : public Rotater {
public:
    LoggingRotater(Random& rng, FrameLog& log) : Rotater(rng), m_pLog(&log) {}

    std::unique_ptr<Rotater> Clone() const override {
        return std::make_unique<LoggingRotater>(*m_pRand, *m_pLog);
    }
    void Apply(float, float, float, float, float, float) override {
        m_pLog->events.push_back("turn");
        glGetFloatv(GL_MODELVIEW_MATRIX, m_pLog->turnMatrix.data());
        glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    }
    void Advance(float, float, float, float, float, float) override {}

private:
    FrameLog* m_pLog;
};

class FixedColorChanger : public ColorChanger {
public:
    FixedColorChanger(Random& rng, int index) : ColorChanger(rng), m_Index(index) {}

    std::unique_ptr<ColorChanger> Clone() const override {
        return std::make_unique<FixedColorChanger>(*this);
    }
    int Index(int, float, float, float) const override { return m_Index; }

    FixedColorChanger(const FixedColorChanger&) = default;

private:
    int m_Index;
};

class LoggingShape : public Shape {
public:
    LoggingShape(Random& rng, FrameLog& log, int polygons, bool visible = true)
        : Shape(rng, MotionContext{}, false), m_pLog(&log), m_Polygons(polygons) {
        auto mover = std::make_unique<LoggingMover>(rng, log);
        mover->SetVisible(visible);
        SetMover(std::move(mover));
        SetRotater(std::make_unique<LoggingRotater>(rng, log));
        SetColorChanger(std::make_unique<FixedColorChanger>(rng, 5));
    }

    std::unique_ptr<Shape> Clone() const override {
        return std::unique_ptr<Shape>(new LoggingShape(*this));
    }
    void DrawShape(Primitives&) override {
        m_pLog->events.push_back("draw");
        glGetFloatv(GL_MODELVIEW_MATRIX, m_pLog->drawMatrix.data());
        glGetFloatv(GL_CURRENT_COLOR, m_pLog->drawColour.data());
    }
    float Radius() const override { return 1.0f; }
    int PolygonCount() const override { return m_Polygons; }

private:
    LoggingShape(const LoggingShape& source) = default;

    FrameLog* m_pLog;
    int m_Polygons;
};

// A frame of no scene: the group scale (2, 3, 4) is off until the test turns it on.
inline FrameContext BareFrame(const ColourTable& colours, Primitives* solids) {
    FrameContext frame;
    frame.clock = {0, 0.0f, 1500};
    frame.scale = {false, 2.0f, 3.0f, 4.0f};
    frame.colours = &colours;
    frame.solids = solids;
    return frame;
}
