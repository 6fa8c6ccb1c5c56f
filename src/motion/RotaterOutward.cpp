#include "motion/RotaterOutward.h"

std::unique_ptr<Rotater> RotaterOutward::Clone() const {
    auto clone = std::make_unique<RotaterOutward>(*m_pRand);
    clone->CopySteering(*this);
    return clone;
}

void RotaterOutward::Advance(float x, float y, float z, float sx, float sy, float sz) {
    float yawTarget = 0, rollTarget = 0;
    TargetAngles(x - sx, y - sy, z - sz, yawTarget, rollTarget);
    TurnToward(yawTarget, rollTarget);
}
