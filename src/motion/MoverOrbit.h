#pragma once

#include "motion/MoverExplode.h"

// Mutual attraction: every shape pulls every other one with a force that does not weaken
// with distance. Groups of the burst tables give the start clusters, speeds and colours;
// heavier groups come later in the table. The pull is computed for all pairs once per
// frame, so PolygonReserve keeps these scenes small.
class MoverOrbit : public MoverExplode {
public:
    MoverOrbit(Random& rng, const MotionContext& motion); // the prototype, group base 2

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) override;
    void StartPosition(float& x, float& y, float& z) override;
    void Step(float& x, float& y, float& z, const FrameContext& frame) override;

    // Adds to every shape's velocity the pull of all the others (the prototype's task).
    void FrameUpdate(const FrameContext& frame) override;
    void AddVelocity(float dx, float dy, float dz) override;
    void StopVelocity() override;
    void OnCollision() override;
    // Holds back all but about budget^0.8 polygons.
    int PolygonReserve(int budget) const override;

private:
    MoverOrbit(const MoverOrbit& source);

    void DrawVelocity();

    float m_VelocityX = 0, m_VelocityY = 0, m_VelocityZ = 0;
    int m_ShrinkStart = 0;
};
