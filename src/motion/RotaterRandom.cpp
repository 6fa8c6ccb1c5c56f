#include "motion/RotaterRandom.h"

#include "core/Random.h"

namespace {
float DrawRate(Random& rng, float framesPerSecond) {
    return static_cast<float>(rng.below(25) + 20) / framesPerSecond;
}
} // namespace

RotaterRandom::RotaterRandom(Random& rng, const MotionContext& motion)
    : Rotater(rng), m_Motion(motion) {
    const float fps = motion.framesPerSecond;
    m_RateX = DrawRate(rng, fps);
    m_RateY = DrawRate(rng, fps);
    m_RateZ = DrawRate(rng, fps);
}

std::unique_ptr<Rotater> RotaterRandom::Clone() const {
    return std::make_unique<RotaterRandom>(*m_pRand, m_Motion);
}

void RotaterRandom::Advance(float, float, float, float, float, float) {
    m_Spin += m_RateX;
    m_Yaw += m_RateY;
    m_Roll += m_RateZ;
}

RotationList RotaterRandom::Rotations() const {
    RotationList list;
    list.Add(m_Spin, 1.0f, 0.0f, 0.0f);
    list.Add(m_Yaw, 0.0f, 1.0f, 0.0f);
    list.Add(m_Roll, 0.0f, 0.0f, 1.0f);
    return list;
}
