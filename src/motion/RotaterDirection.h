#pragma once

#include "motion/Rotater.h"

// Faces along the direction of travel since the previous frame.
class RotaterDirection : public Rotater {
public:
    using Rotater::Rotater;

    // The clone draws its own starting angles, takes over the source's steering and starts
    // from the origin.
    std::unique_ptr<Rotater> Clone() const override;
    void Advance(float x, float y, float z, float sx, float sy, float sz) override;

private:
    float m_PrevX = 0, m_PrevY = 0, m_PrevZ = 0;
};
