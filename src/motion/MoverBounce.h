#pragma once

#include "motion/Mover.h"

// A ball in the scene box: straight flight, reflection at the walls, optional gravity and
// damping, and a glide back to the centre at the end of the scene.
class MoverBounce : public Mover {
public:
    MoverBounce(Random& rng, const MotionContext& motion);

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) override;
    void StartPosition(float& x, float& y, float& z) override;
    void Step(float& x, float& y, float& z, const FrameContext& frame) override;
    bool ReversesDirection() const override { return true; }

    // Setup on plain numbers: draws the colour offset from a table of colourCount entries,
    // fits the walls to the shape's radius and returns the offset.
    int Prepare(int cycleFrames, float radius, int colourCount);
    void Advance(float& x, float& y, float& z, int frameNumber);

    float MaxSpeed() const { return m_MaxSpeed; }
    void Velocity(float& vx, float& vy, float& vz) const;
    void SetVelocity(float vx, float vy, float vz);
    float LowBound() const { return m_Low; }
    float HighBound() const { return m_High; }
    bool HasGravity() const { return m_bGravity; }
    bool SharesGravity() const { return m_bSharedGravity; }
    float GravityStep() const { return m_GravityStep; }
    bool IsDamped() const { return m_bDamping; }
    float DampingFactor() const { return m_DampingFactor; }
    bool IsReturning() const { return m_bReturning; }
    int ReturnStart() const { return m_ReturnStart; }
    float ReturnFrames() const { return m_ReturnFrames; }

private:
    MoverBounce(const MoverBounce& source); // same ball, new velocity

    static void Reflect(float& coordinate, float& velocity, float low, float high);

    float m_MaxSpeed = 0;
    float m_VelocityX = 0, m_VelocityY = 0, m_VelocityZ = 0;
    float m_Low = -7.5f, m_High = 7.5f;
    bool m_bReturning = false;
    int m_ReturnStart = 0;
    float m_ReturnFrames = 1000;
    bool m_bGravity = false;
    bool m_bSharedGravity = true;
    float m_GravityStep = 0;
    bool m_bDamping = false;
    float m_DampingFactor = 1;
};
