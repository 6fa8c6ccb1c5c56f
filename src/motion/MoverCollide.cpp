#include "motion/MoverCollide.h"

#include "core/Random.h"
#include "motion/EndShrink.h"
#include "motion/MoverMath.h"
#include "motion/SceneClock.h"
#include "shapes/Shape.h"

MoverCollide::MoverCollide(Random& rng, const MotionContext& motion) : Mover(rng, motion) {
    const auto speed = static_cast<float>(rng.uniform() * 0.05 + 0.2);
    DrawSymmetricVelocity(rng, speed, m_VelocityX, m_VelocityY, m_VelocityZ);
}

MoverCollide::MoverCollide(const MoverCollide& source)
    : Mover(source), m_ShrinkStart(source.m_ShrinkStart), m_bActive(false),
      m_LowBound(source.m_LowBound), m_HighBound(source.m_HighBound) {
    const auto speed = static_cast<float>(m_pRand->uniform() * 0.05 + 0.1);
    DrawSymmetricVelocity(*m_pRand, speed, m_VelocityX, m_VelocityY, m_VelocityZ);
}

std::unique_ptr<Mover> MoverCollide::Clone() const {
    return std::unique_ptr<Mover>(new MoverCollide(*this));
}

void MoverCollide::Setup(Shape& shape, const FrameContext& frame, int, int) {
    shape.SetColor(m_pRand->below(m_Motion.colourCount), 1.0f);
    m_ShrinkStart = static_cast<int>(frame.clock.cycleFrames * 0.95);
}

void MoverCollide::StartPosition(float& x, float& y, float& z) {
    if (m_bActive) {
        x = y = z = 0;
        return;
    }
    const double r = m_pRand->uniform() * ScatterExtent;
    x = static_cast<float>(r * m_pRand->symmetric());
    y = static_cast<float>(r * m_pRand->symmetric());
    z = static_cast<float>(r * m_pRand->symmetric());
}

void MoverCollide::Reflect(float& position, float& velocity) const {
    // The normal component comes back at 0.8 to 1.2 times its size.
    const auto bounce = [this](float v) {
        return static_cast<float>(v - 2 * (m_pRand->uniform() * 0.2 + 0.9) * v);
    };
    if (position <= m_LowBound) {
        velocity = bounce(velocity);
        position = m_LowBound;
    }
    if (position >= m_HighBound) {
        velocity = bounce(velocity);
        position = m_HighBound;
    }
}

void MoverCollide::Step(float& x, float& y, float& z, const FrameContext& frame) {
    m_bVisible = true;
    if (!m_bActive)
        return;
    x += m_VelocityX;
    y += m_VelocityY;
    z += m_VelocityZ;
    Reflect(x, m_VelocityX);
    Reflect(y, m_VelocityY);
    Reflect(z, m_VelocityZ);
    ApplyEndShrink(x, y, z, m_ShrinkStart, frame.clock);
}

void MoverCollide::FrameUpdate(const FrameContext& frame) {
    // A shape set off by an earlier pair passes it on in the same frame.
    const auto shapes = frame.shapes;
    for (auto a = shapes.begin(); a != shapes.end(); ++a) {
        const bool aWasActive = (*a)->IsActive();
        for (auto b = a + 1; b != shapes.end(); ++b) {
            if ((aWasActive || (*b)->IsActive()) && (*a)->DistanceTo(**b) < ContactDistance) {
                (*a)->OnCollision();
                (*b)->OnCollision();
            }
        }
    }
}

void MoverCollide::AddVelocity(float dx, float dy, float dz) {
    m_VelocityX += dx;
    m_VelocityY += dy;
    m_VelocityZ += dz;
}

void MoverCollide::StopVelocity() {
    m_VelocityX = m_VelocityY = m_VelocityZ = 0;
}

int MoverCollide::PolygonReserve(int budget) const {
    return ReserveAllBut(budget, 0.85);
}
