#pragma once

#include "motion/Rotater.h"

// Free tumbling about all three axes at 20 to 44 degrees per second each.
class RotaterRandom : public Rotater {
public:
    RotaterRandom(Random& rng, const MotionContext& motion);

    std::unique_ptr<Rotater> Clone() const override; // everything drawn anew
    void Advance(float x, float y, float z, float sx, float sy, float sz) override;
    RotationList Rotations() const override;

    float RateX() const { return m_RateX; }
    float RateY() const { return m_RateY; }
    float RateZ() const { return m_RateZ; }

private:
    MotionContext m_Motion;          // a clone draws its rates anew from it
    float m_RateX, m_RateY, m_RateZ; // degrees per frame
};
