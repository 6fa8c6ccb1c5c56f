#pragma once

#include "motion/Rotater.h"

// Faces away from the vertical axis through the shape's start position.
class RotaterOutFromZAxis : public Rotater {
public:
    using Rotater::Rotater;

    // The clone draws its own starting angles and takes over the source's steering.
    std::unique_ptr<Rotater> Clone() const override;
    void Advance(float x, float y, float z, float sx, float sy, float sz) override;
};
