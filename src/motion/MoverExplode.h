#pragma once

#include "motion/Mover.h"
#include "motion/MoverMath.h"

#include <memory>
#include <vector>

class MoverSin;

// Bursts: groups of shapes fly out of centres that wander on a Lissajous path. The first
// shape to land in a group leads it: it moves the group's centre and is drawn there; the
// others fly straight out along their own direction and restart at the centre when they
// leave the box, until the last 5 % of the scene retires them for good.
//
// The burst tables belong to the prototype's group (MoverOrbit and MoverXYZ use them too):
// the prototype's constructor builds them, every clone shares them and joins a group, so
// the scenes of several windows never see each other's.
class MoverExplode : public Mover {
public:
    MoverExplode(Random& rng, const MotionContext& motion); // the prototype, group base 1
    ~MoverExplode() override;

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) override;
    void StartPosition(float& x, float& y, float& z) override;
    void Step(float& x, float& y, float& z, const FrameContext& frame) override;
    bool IsVisible() const override { return m_bActive && m_bVisible; }

    int Group() const { return m_Group; }
    bool IsLeader() const { return m_pLeader != nullptr; }
    bool IsRetired() const { return !m_bActive; }

    int GroupCount() const { return static_cast<int>(m_pGroups->size()); }
    int MemberCount(int group) const { return (*m_pGroups)[group].memberCount; }
    void GroupOrigin(int group, float& x, float& y, float& z) const;

    static constexpr float BoxDiagonal = 21.213203f; // face diagonal of the scene box
    static constexpr float HalfDiagonal = 10.606602f;

protected:
    // A prototype with groupBase + below(5) groups; rebuilds the burst tables.
    MoverExplode(Random& rng, const MotionContext& motion, int groupBase);
    // A clone: draws its speed, group and direction; leads the group if it has no leader.
    MoverExplode(const MoverExplode& source);

    struct BurstGroup {
        float originX = 0, originY = 0, originZ = 0;
        float speed = 0; // the group's speed figure, 0.01 .. 0.06
        int memberCount = 0;
        bool leaderPending = true;
        float thetaLow = 0, thetaHigh = 0; // direction angles of the members, radians
        float phiLow = 0, phiHigh = 0;
    };
    using BurstGroups = std::vector<BurstGroup>;

    BurstGroups& Groups() const { return *m_pGroups; }
    const BurstGroup& MyGroup() const { return Groups()[m_Group]; }
    int ColourOffsetOfGroup(int group, int colourCount) const;

    std::shared_ptr<BurstGroups> m_pGroups;
    // The step bias the group leaders of one scene share.
    std::shared_ptr<float> m_pLeaderBias = std::make_shared<float>(1.0f);

    int m_Group = 0;
    bool m_bActive = true;
    int m_StopFrame = 0;

private:
    void Join(); // draws a group and joins it

    float m_Distance = 0;
    float m_Speed = 0;
    PolarDirection m_Direction;
    std::unique_ptr<MoverSin> m_pLeader; // only the group's leader has one
};
