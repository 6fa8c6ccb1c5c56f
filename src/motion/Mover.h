#pragma once

#include "motion/FrameContext.h"
#include "motion/MotionContext.h"

#include <memory>

class Random;
class Shape;

// Decides where one shape is in every frame. A scene's prototype shape gets its mover from
// Create; every clone of the shape holds a Clone of it, so all shapes of a scene move by one
// model with their own random parameters. Positions are in scene-box units (the box spans
// -7.5 .. 7.5 on each axis), time is counted in frames.
class Mover {
public:
    Mover(Random& rng, const MotionContext& motion);
    virtual ~Mover() = default;
    Mover& operator=(const Mover&) = delete;

    // Draws a kind from the weighted mover table; the result is its scene's prototype.
    static std::unique_ptr<Mover> Create(Random& rng, const MotionContext& motion);
    // The table's kind number of mover's class, -1 for a class outside the table.
    static int KindOf(const Mover& mover);

    virtual std::unique_ptr<Mover> Clone() const = 0;
    // Once per shape when the scene is composed, after StartPosition; sets the shape's colour.
    virtual void Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) = 0;
    virtual void StartPosition(float& x, float& y, float& z) = 0;
    // Once per frame after the shape was drawn: the next position, in place.
    virtual void Step(float& x, float& y, float& z, const FrameContext& frame) = 0;
    virtual bool IsVisible() const { return m_bVisible; }
    // Paths that turn back abruptly; the shape then avoids a rotater facing the travel.
    virtual bool ReversesDirection() const { return false; }

    // Group hooks: FrameUpdate runs once per frame on the prototype after all shapes were
    // drawn; PolygonReserve once before the scene fills its polygon budget.
    virtual void FrameUpdate(const FrameContext& frame);
    virtual void AddVelocity(float dx, float dy, float dz);
    virtual void StopVelocity() {}
    virtual void OnCollision() {}
    virtual int PolygonReserve(int budget) const;
    virtual bool IsActive() const { return true; }

    bool ColourBySpread() const { return m_bColourBySpread; }

protected:
    Mover(const Mover& source) = default; // rng, motion, visibility, colourBySpread

    // A random sign: +1 or -1.
    int Sign();

    Random* m_pRand;
    // The composing scene's values, kept for Setup and handed on to clones.
    MotionContext m_Motion;
    bool m_bVisible = false;
    // Group movers add a member-dependent term to the colour offset (few bands, large table).
    bool m_bColourBySpread = false;
};
