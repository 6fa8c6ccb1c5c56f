#include "motion/MoverExplode.h"

#include "core/Random.h"
#include "motion/MoverMath.h"
#include "motion/MoverSin.h"
#include "motion/SceneClock.h"
#include "shapes/Shape.h"

#include <algorithm>

namespace {

// A range of direction angles (radians as they stand): its width leans to small values
// more strongly the more groups there are.
void AngleRange(Random& rng, int groups, float& low, float& high) {
    low = static_cast<float>(rng.below(360));
    const int width = rng.skewed(360, groups);
    high = static_cast<float>(low + width * rng.uniform());
}

} // namespace

MoverExplode::MoverExplode(Random& rng, const MotionContext& motion)
    : MoverExplode(rng, motion, 1) {}

MoverExplode::MoverExplode(Random& rng, const MotionContext& motion, int groupBase)
    : Mover(rng, motion) {
    const int groups = groupBase + rng.below(5);
    m_pGroups = std::make_shared<BurstGroups>(static_cast<std::size_t>(groups));
    const auto originCoordinate = [&rng] {
        const double s = rng.symmetric();
        const double u1 = rng.uniform();
        const double u2 = rng.uniform();
        return static_cast<float>(s * HalfDiagonal * u1 * u2);
    };
    for (BurstGroup& group : Groups()) {
        group.originX = originCoordinate();
        group.originY = originCoordinate();
        group.originZ = originCoordinate();
        group.speed = static_cast<float>(rng.uniform() * 0.05 + 0.01);
        AngleRange(rng, groups, group.thetaLow, group.thetaHigh);
        AngleRange(rng, groups, group.phiLow, group.phiHigh);
    }
    m_Group = rng.below(groups);
    BurstGroup& mine = Groups()[m_Group];
    mine.memberCount += 1;
    mine.leaderPending = false;
    m_pLeader = std::make_unique<MoverSin>(rng, m_Motion, m_pLeaderBias);
}

MoverExplode::MoverExplode(const MoverExplode& source)
    : Mover(source), m_pGroups(source.m_pGroups), m_pLeaderBias(source.m_pLeaderBias),
      m_bActive(source.m_bActive), m_StopFrame(source.m_StopFrame), m_Distance(source.m_Distance) {
    Random& rng = *m_pRand;
    // From the centre to the edge in roughly four to eight seconds.
    const float framesPerSecond = std::max(m_Motion.framesPerSecond, 1.0f);
    m_Speed =
        static_cast<float>(((1.0 - rng.uniform()) * 0.5 + 0.5) * BoxDiagonal / 8 / framesPerSecond);
    Join();
    BurstGroup& mine = Groups()[m_Group];
    if (mine.leaderPending) {
        mine.leaderPending = false;
        m_Speed = 0;
        m_pLeader = std::make_unique<MoverSin>(rng, m_Motion, m_pLeaderBias);
    }
}

MoverExplode::~MoverExplode() = default;

void MoverExplode::Join() {
    Random& rng = *m_pRand;
    m_Group = rng.below(GroupCount());
    BurstGroup& mine = Groups()[m_Group];
    mine.memberCount += 1;
    const auto theta =
        static_cast<float>(rng.uniform() * (mine.thetaHigh - mine.thetaLow) + mine.thetaLow);
    const auto phi = static_cast<float>(rng.uniform() * (mine.phiHigh - mine.phiLow) + mine.phiLow);
    m_Direction = PolarDirection::Of(theta, phi);
}

std::unique_ptr<Mover> MoverExplode::Clone() const {
    return std::unique_ptr<Mover>(new MoverExplode(*this));
}

void MoverExplode::Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) {
    shape.SetColor(m_pRand->below(m_Motion.colourCount), 1.0f);
    m_StopFrame = static_cast<int>(frame.clock.cycleFrames * 0.95);
    if (m_pLeader)
        m_pLeader->Setup(shape, frame, colourStep, spread);
}

void MoverExplode::StartPosition(float& x, float& y, float& z) {
    GroupOrigin(m_Group, x, y, z);
}

void MoverExplode::Step(float& x, float& y, float& z, const FrameContext& frame) {
    BurstGroup& mine = Groups()[m_Group];
    if (m_pLeader) {
        m_pLeader->Step(x, y, z, frame);
        mine.originX = x;
        mine.originY = y;
        mine.originZ = z;
        m_bVisible = true;
        return;
    }
    const SceneClock clock = frame.clock;
    m_Distance += m_Speed;
    x = mine.originX + m_Distance * m_Direction.x;
    y = mine.originY + m_Distance * m_Direction.y;
    z = mine.originZ + m_Distance * m_Direction.z;
    const auto outside = [](float c) { return c < -HalfDiagonal || c > HalfDiagonal; };
    if (outside(x) || outside(y) || outside(z)) {
        m_Distance = 0;
        StartPosition(x, y, z);
        m_bVisible = false;
        if (clock.frameNumber > m_StopFrame)
            m_bActive = false; // retired for the rest of the scene
        return;
    }
    m_bVisible = clock.frameNumber < clock.cycleFrames - 1;
}

void MoverExplode::GroupOrigin(int group, float& x, float& y, float& z) const {
    const BurstGroup& g = Groups()[group];
    x = g.originX;
    y = g.originY;
    z = g.originZ;
}

int MoverExplode::ColourOffsetOfGroup(int group, int colourCount) const {
    return colourCount * group / GroupCount();
}
