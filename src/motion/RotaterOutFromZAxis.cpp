#include "motion/RotaterOutFromZAxis.h"

std::unique_ptr<Rotater> RotaterOutFromZAxis::Clone() const {
    auto clone = std::make_unique<RotaterOutFromZAxis>(*m_pRand);
    clone->CopySteering(*this);
    return clone;
}

void RotaterOutFromZAxis::Advance(float x, float y, float, float sx, float sy, float) {
    // No depth difference: the yaw target is +-90 degrees, or 0 on the axis.
    float yawTarget = 0, rollTarget = 0;
    TargetAngles(x - sx, y - sy, 0.0f, yawTarget, rollTarget);
    TurnToward(yawTarget, rollTarget);
}
