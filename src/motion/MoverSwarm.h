#pragma once

#include "motion/Mover.h"

#include <memory>
#include <vector>

struct SceneClock;

// Swarms: each shape accelerates towards the target of its swarm, which runs on a
// Lissajous path around the swarm's centre. In the last quarter of the scene every swarm
// heads for the origin, and the end shrink pulls the shapes in.
//
// The swarm tables belong to the prototype's group: built by its constructor, shared by
// every clone.
class MoverSwarm : public Mover {
public:
    MoverSwarm(Random& rng,
               const MotionContext& motion); // the prototype: rebuilds the swarm tables

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) override;
    void StartPosition(float& x, float& y, float& z) override;
    void Step(float& x, float& y, float& z, const FrameContext& frame) override;

    int Swarm() const { return m_Swarm; }
    int SwarmCount() const { return static_cast<int>(m_pTables->swarms.size()); }
    // Angular rates of a swarm's target: radians per scene until the first Setup of the
    // scene, radians per frame after it.
    void Frequency(int swarm, float& x, float& y, float& z) const;

    static constexpr float MaxSpeed = 0.05f; // per axis, units per frame

private:
    MoverSwarm(const MoverSwarm& source);

    void DrawVelocity();
    void Target(const SceneClock& clock, float& x, float& y, float& z) const;

    struct SwarmTable {
        float centreX = 0, centreY = 0, centreZ = 0;
        float frequencyX = 0, frequencyY = 0, frequencyZ = 0; // radians per frame after Setup
        float amplitudeX = 0, amplitudeY = 0, amplitudeZ = 0;
    };
    struct Tables {
        std::vector<SwarmTable> swarms;
        bool ratesReady = false;
    };
    std::shared_ptr<Tables> m_pTables;

    float m_SpeedScale = 0;
    float m_VelocityX = 0, m_VelocityY = 0, m_VelocityZ = 0;
    float m_Acceleration = 0;
    int m_SwarmCount = 0;
    int m_Swarm = 0;
    int m_LeaveFrame = 0;
    int m_ShrinkStart = 0;
};
