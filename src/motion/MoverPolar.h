#pragma once

#include "motion/Mover.h"
#include "motion/MoverMath.h"

// The shape swings back and forth along one line through the origin.
class MoverPolar : public Mover {
public:
    MoverPolar(Random& rng, const MotionContext& motion);

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) override;
    void StartPosition(float& x, float& y, float& z) override;
    void Step(float& x, float& y, float& z, const FrameContext& frame) override;
    bool ReversesDirection() const override { return true; }

    // Setup and Step on plain numbers; Prepare returns the colour offset.
    int Prepare(int cycleFrames, int colourStep);
    void Advance(float& x, float& y, float& z, float t);

    float Amplitude() const { return m_Amplitude; }

private:
    MoverPolar(const MoverPolar& source); // a new line, a shorter swing

    void DrawDirection();

    PolarDirection m_Direction; // angles drawn as whole numbers 0 .. 359
    float m_Amplitude = 0;
    float m_Rate = 0; // radians per frame
};
