#pragma once

#include "motion/Mover.h"

// Each axis oscillates on its own: a Lissajous figure through the origin.
class MoverSin : public Mover {
public:
    // Draws the step bias into stepBias, shared by every MoverSin of one scene (clones and a
    // burst's leaders): the last one drawn scales them all. Null: a cell of its own.
    MoverSin(Random& rng, const MotionContext& motion, std::shared_ptr<float> stepBias = nullptr);

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) override;
    void StartPosition(float& x, float& y, float& z) override;
    void Step(float& x, float& y, float& z, const FrameContext& frame) override;

    // Setup without a scene: draws the rates and amplitudes, returns the colour offset.
    int Prepare(int cycleFrames, int colourStep, int spread);
    // Step without a scene: the position at time t (frames).
    void Advance(float& x, float& y, float& z, float t);

    float StepBias() const { return *m_pStepBias; }

protected:
    MoverSin(const MoverSin& source) = default;

    float m_AmplitudeX = 0, m_AmplitudeY = 0, m_AmplitudeZ = 0;
    float m_RateX = 0, m_RateY = 0, m_RateZ = 0; // radians per frame
    float m_RangeX = 0, m_RangeY = 0, m_RangeZ = 0;

    // 1 .. 10, scales the amplitudes.
    std::shared_ptr<float> m_pStepBias;
};
