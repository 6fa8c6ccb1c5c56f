#pragma once

#include "motion/MotionContext.h"

#include <array>
#include <memory>
#include <vector>

class Random;

// One glRotatef call: angle in degrees about the axis (x, y, z).
struct Rotation {
    float angle, x, y, z;
};

// The rotations a rotater issues in one frame, in order (at most three).
struct RotationList {
    std::array<Rotation, 3> items{};
    int count = 0;

    void Add(float angle, float x, float y, float z) { items[count++] = {angle, x, y, z}; }
};

// Turns one shape inside its matrix each frame, after the shape was translated and before it
// is scaled. Angles are in degrees and rates per frame. Either the shape tumbles freely or it
// steers, with limited angular speed and acceleration, towards a heading that its motion gives.
class Rotater {
public:
    explicit Rotater(Random& rng);
    virtual ~Rotater() = default;
    Rotater(const Rotater&) = delete;
    Rotater& operator=(const Rotater&) = delete;

    // The kinds are 0 random, 1 outward, 2 direction of travel, 3 out from the z axis.
    static constexpr int kDirectionKind = 2;
    static std::unique_ptr<Rotater> Create(Random& rng, const MotionContext& motion,
                                           const std::vector<int>* excluded = nullptr);
    // The table's kind number of rotater's class, -1 for a class outside the table.
    static int KindOf(const Rotater& rotater);

    virtual std::unique_ptr<Rotater> Clone() const = 0;
    // Advances the angles for a shape at (x, y, z) that started at (sx, sy, sz) and issues
    // the rotations on the current GL matrix.
    virtual void Apply(float x, float y, float z, float sx, float sy, float sz);
    // The angle arithmetic of Apply, without GL.
    virtual void Advance(float x, float y, float z, float sx, float sy, float sz) = 0;
    // The rotations Apply issues for the current angles.
    virtual RotationList Rotations() const;

    // Scales how fast a steering shape may turn.
    void ScaleSpin(float factor);

    // Heading of a difference vector in degrees: yaw about y, roll about z.
    static void TargetAngles(float dx, float dy, float dz, float& yawTarget, float& rollTarget);

    float Spin() const { return m_Spin; }
    float Yaw() const { return m_Yaw; }
    float Roll() const { return m_Roll; }

protected:
    // One steering step towards the targets within the step and step-change limits.
    void TurnToward(float yawTarget, float rollTarget);
    // For the steering clones: takes over the source's limits, last steps, flags and phase.
    void CopySteering(const Rotater& source);

    float m_Spin = 0;
    float m_Yaw = 0;
    float m_Roll = 0;
    float m_Phase = 0;
    float m_PhaseStep = 0;
    bool m_bExtraSpin = false;
    bool m_bWobbleYaw = false;
    bool m_bWobbleRoll = false;
    float m_MaxYawStep = 1;
    float m_MaxRollStep = 1;
    float m_MaxYawChange = 0;
    float m_MaxRollChange = 0;
    float m_LastYawStep = 0;
    float m_LastRollStep = 0;
    bool m_bWrapYaw = false;
    bool m_bWrapRoll = false;
    Random* m_pRand;
};
