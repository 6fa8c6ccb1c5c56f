#include "motion/MoverBounce.h"

#include "core/Random.h"
#include "motion/MoverMath.h"
#include "motion/SceneClock.h"
#include "shapes/Shape.h"

MoverBounce::MoverBounce(Random& rng, const MotionContext& motion) : Mover(rng, motion) {
    m_MaxSpeed = static_cast<float>((1.0 - rng.uniform()) * 0.1);
    DrawSymmetricVelocity(rng, m_MaxSpeed, m_VelocityX, m_VelocityY, m_VelocityZ);
    m_bGravity = rng.flip() == 1;
    if (m_bGravity) {
        m_bSharedGravity = rng.flip() == 1;
        m_GravityStep = static_cast<float>(rng.uniform() * 0.01);
        m_bDamping = rng.uniform() < 0.1;
    }
    m_DampingFactor = static_cast<float>(rng.uniform() * 0.01 + 0.99);
}

MoverBounce::MoverBounce(const MoverBounce& source) : Mover(source) {
    m_MaxSpeed = source.m_MaxSpeed;
    DrawSymmetricVelocity(*m_pRand, m_MaxSpeed, m_VelocityX, m_VelocityY, m_VelocityZ);
    m_Low = source.m_Low;
    m_High = source.m_High;
    m_bReturning = source.m_bReturning;
    m_ReturnStart = source.m_ReturnStart;
    m_ReturnFrames = source.m_ReturnFrames;
    m_bGravity = source.m_bGravity;
    m_bSharedGravity = source.m_bSharedGravity;
    if (m_bSharedGravity || !m_bGravity)
        m_GravityStep = source.m_GravityStep;
    else
        m_GravityStep = static_cast<float>(m_pRand->uniform() * 0.01);
    m_bDamping = source.m_bDamping;
    m_DampingFactor = source.m_DampingFactor;
}

std::unique_ptr<Mover> MoverBounce::Clone() const {
    return std::unique_ptr<Mover>(new MoverBounce(*this));
}

void MoverBounce::Setup(Shape& shape, const FrameContext& frame, int, int) {
    const int colourOffset = Prepare(frame.clock.cycleFrames, shape.Radius(), m_Motion.colourCount);
    shape.SetColor(colourOffset, 1.0f);
}

int MoverBounce::Prepare(int cycleFrames, float radius, int colourCount) {
    const int colourOffset = m_pRand->below(colourCount);
    m_Low = m_Low + radius + m_MaxSpeed;
    m_High = m_High - (radius - m_MaxSpeed);
    m_ReturnStart = static_cast<int>(cycleFrames * 0.95);
    const int remaining = cycleFrames - m_ReturnStart;
    m_ReturnFrames = remaining != 0 ? static_cast<float>(remaining) : 1000.0f;
    return colourOffset;
}

void MoverBounce::StartPosition(float& x, float& y, float& z) {
    // With gravity the ball drops from the top face.
    x = 0.0f;
    y = m_bGravity ? 7.5f : 0.0f;
    z = 0.0f;
}

void MoverBounce::Step(float& x, float& y, float& z, const FrameContext& frame) {
    Advance(x, y, z, frame.clock.frameNumber);
}

void MoverBounce::Reflect(float& coordinate, float& velocity, float low, float high) {
    if (coordinate <= low) {
        velocity = -velocity;
        coordinate = low;
    }
    if (coordinate >= high) {
        velocity = -velocity;
        coordinate = high;
    }
}

void MoverBounce::Advance(float& x, float& y, float& z, int frameNumber) {
    x += m_VelocityX;
    y += m_VelocityY;
    z += m_VelocityZ;
    Reflect(x, m_VelocityX, m_Low, m_High);
    Reflect(y, m_VelocityY, m_Low, m_High);
    Reflect(z, m_VelocityZ, m_Low, m_High);
    if (m_bDamping) {
        m_VelocityX *= m_DampingFactor;
        m_VelocityY *= m_DampingFactor;
        m_VelocityZ *= m_DampingFactor;
    }
    if (m_bGravity)
        m_VelocityY -= m_GravityStep;
    // A damped ball settles under gravity instead of gliding home.
    if (!m_bDamping && !m_bReturning && frameNumber > m_ReturnStart) {
        m_bReturning = true;
        m_VelocityX = -x / m_ReturnFrames;
        m_VelocityY = -y / m_ReturnFrames;
        m_VelocityZ = -z / m_ReturnFrames;
        m_bVisible = false;
        return;
    }
    m_bVisible = true;
}

void MoverBounce::Velocity(float& vx, float& vy, float& vz) const {
    vx = m_VelocityX;
    vy = m_VelocityY;
    vz = m_VelocityZ;
}

void MoverBounce::SetVelocity(float vx, float vy, float vz) {
    m_VelocityX = vx;
    m_VelocityY = vy;
    m_VelocityZ = vz;
}
