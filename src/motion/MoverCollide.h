#pragma once

#include "motion/Mover.h"

// Still shapes wait, scattered through and around the box, until a moving shape touches
// them; then they move too, bouncing off the box walls with a random loss or gain. Only
// the prototype moves at the start. Contacts are tested for all pairs once per frame, so
// PolygonReserve keeps these scenes small.
class MoverCollide : public Mover {
public:
    MoverCollide(Random& rng, const MotionContext& motion); // the prototype: active from the start

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) override;
    void StartPosition(float& x, float& y, float& z) override;
    void Step(float& x, float& y, float& z, const FrameContext& frame) override;

    // Sets off every waiting shape that a moving one touches (the prototype's task).
    void FrameUpdate(const FrameContext& frame) override;
    void AddVelocity(float dx, float dy, float dz) override;
    void StopVelocity() override;
    void OnCollision() override { m_bActive = true; }
    // Holds back all but about budget^0.85 polygons.
    int PolygonReserve(int budget) const override;
    bool IsActive() const override { return m_bActive; }

    static constexpr float ContactDistance = 0.5f;
    static constexpr float ScatterExtent = 21.213203f; // face diagonal of the scene box

private:
    MoverCollide(const MoverCollide& source); // waiting

    void Reflect(float& position, float& velocity) const;

    float m_VelocityX = 0, m_VelocityY = 0, m_VelocityZ = 0;
    int m_ShrinkStart = 0;
    bool m_bActive = true;
    float m_LowBound = -7.5f, m_HighBound = 7.5f;
};
