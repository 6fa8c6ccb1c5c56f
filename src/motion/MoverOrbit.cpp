#include "motion/MoverOrbit.h"

#include "core/Random.h"
#include "motion/EndShrink.h"
#include "motion/MoverMath.h"
#include "motion/SceneClock.h"
#include "shapes/Shape.h"

MoverOrbit::MoverOrbit(Random& rng, const MotionContext& motion) : MoverExplode(rng, motion, 2) {
    DrawVelocity();
}

MoverOrbit::MoverOrbit(const MoverOrbit& source)
    : MoverExplode(source), m_ShrinkStart(source.m_ShrinkStart) {
    DrawVelocity();
}

void MoverOrbit::DrawVelocity() {
    DrawSymmetricVelocity(*m_pRand, MyGroup().speed, m_VelocityX, m_VelocityY, m_VelocityZ);
}

std::unique_ptr<Mover> MoverOrbit::Clone() const {
    return std::unique_ptr<Mover>(new MoverOrbit(*this));
}

void MoverOrbit::Setup(Shape& shape, const FrameContext& frame, int, int) {
    Random& rng = *m_pRand;
    const int groups = GroupCount();
    double mass = rng.uniform() * 0.0001;
    int colourOffset = 0;
    if (groups > 0) {
        colourOffset = ColourOffsetOfGroup(m_Group, m_Motion.colourCount);
        mass = (1.0 - rng.uniform()) * (m_Group + 1) * 0.0002 / groups;
    }
    shape.SetColor(colourOffset, 1.0f);
    shape.SetMass(static_cast<float>(mass));
    m_ShrinkStart = static_cast<int>(frame.clock.cycleFrames * 0.95);
}

void MoverOrbit::StartPosition(float& x, float& y, float& z) {
    GroupOrigin(m_Group, x, y, z);
    x = static_cast<float>(x + m_pRand->symmetric() * 0.1);
    y = static_cast<float>(y + m_pRand->symmetric() * 0.1);
    z = static_cast<float>(z + m_pRand->symmetric() * 0.1);
}

void MoverOrbit::Step(float& x, float& y, float& z, const FrameContext& frame) {
    x += m_VelocityX;
    y += m_VelocityY;
    z += m_VelocityZ;
    ApplyEndShrink(x, y, z, m_ShrinkStart, frame.clock);
    m_bVisible = true;
}

void MoverOrbit::FrameUpdate(const FrameContext& frame) {
    // Positions stay put while the velocities change, so the order of the shapes is free.
    const auto shapes = frame.shapes;
    for (const auto& a : shapes) {
        float fx = 0, fy = 0, fz = 0;
        for (const auto& b : shapes) {
            if (b == a)
                continue;
            const float d = a->DistanceTo(*b);
            if (d == 0)
                continue;
            const float pull = b->Mass() / d;
            fx += pull * (a->X() - b->X());
            fy += pull * (a->Y() - b->Y());
            fz += pull * (a->Z() - b->Z());
        }
        a->AddVelocity(-fx, -fy, -fz);
    }
}

void MoverOrbit::AddVelocity(float dx, float dy, float dz) {
    m_VelocityX += dx;
    m_VelocityY += dy;
    m_VelocityZ += dz;
}

void MoverOrbit::StopVelocity() {
    m_VelocityX = m_VelocityY = m_VelocityZ = 0;
}

void MoverOrbit::OnCollision() {
    m_VelocityX = -m_VelocityX;
    m_VelocityY = -m_VelocityY;
    m_VelocityZ = -m_VelocityZ;
}

int MoverOrbit::PolygonReserve(int budget) const {
    return ReserveAllBut(budget, 0.8);
}
