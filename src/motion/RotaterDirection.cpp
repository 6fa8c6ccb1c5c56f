#include "motion/RotaterDirection.h"

std::unique_ptr<Rotater> RotaterDirection::Clone() const {
    auto clone = std::make_unique<RotaterDirection>(*m_pRand);
    clone->CopySteering(*this);
    return clone;
}

void RotaterDirection::Advance(float x, float y, float z, float, float, float) {
    float yawTarget = 0, rollTarget = 0;
    TargetAngles(x - m_PrevX, y - m_PrevY, z - m_PrevZ, yawTarget, rollTarget);
    TurnToward(yawTarget, rollTarget);
    m_PrevX = x;
    m_PrevY = y;
    m_PrevZ = z;
}
