#include "motion/MoverFollow.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "motion/SceneClock.h"
#include "shapes/Shape.h"

#include <cmath>
#include <numbers>

MoverFollow::MoverFollow(Random& rng, const MotionContext& motion)
    : MoverSin(rng, motion), m_pTables(std::make_shared<Tables>()) {
    const int groups = rng.below(10) + 1;
    m_pTables->groups.assign(static_cast<std::size_t>(groups), GroupTable{});
    for (GroupTable& group : m_pTables->groups) {
        group.fx = rng.below(10) + 1;
        group.fy = rng.below(10) + 1;
        group.fz = rng.below(10) + 1;
    }
    const auto factor = [&] {
        const double magnitude = rng.symmetric();
        return static_cast<float>(magnitude * Sign());
    };
    for (GroupTable& group : m_pTables->groups) {
        group.ax = factor();
        group.ay = factor();
        group.az = factor();
    }
    Join();
}

MoverFollow::MoverFollow(const MoverFollow& source)
    : MoverSin(source), m_pTables(source.m_pTables) {
    Join();
}

void MoverFollow::Join() {
    const int group = m_pRand->below(GroupCount());
    m_Group = static_cast<float>(group);
    GroupTable& mine = m_pTables->groups[group];
    m_MemberIndex = static_cast<float>(mine.memberCount);
    ++mine.memberCount;
}

std::unique_ptr<Mover> MoverFollow::Clone() const {
    return std::unique_ptr<Mover>(new MoverFollow(*this));
}

void MoverFollow::Setup(Shape& shape, const FrameContext& frame, int colourStep, int) {
    const int colourOffset = Prepare(frame.clock.cycleFrames, colourStep, m_Motion.aspect);
    shape.SetColor(colourOffset, 1.0f);
}

int MoverFollow::Prepare(int cycleFrames, int colourStep, float aspect) {
    const GroupTable& group = m_pTables->groups[Group()];
    const double period = cycleFrames;
    m_RateX = static_cast<float>(group.fx * std::numbers::pi / period);
    m_RateY = static_cast<float>(group.fy * std::numbers::pi / period);
    m_RateZ = static_cast<float>(group.fz * std::numbers::pi / period);

    const int k = colourStep;
    int colourOffset = k + k * group.fx + k * group.fy;
    if (m_bColourBySpread)
        colourOffset = static_cast<int>(static_cast<float>(colourOffset) + m_MemberIndex);

    m_AmplitudeX = aspect * (group.ax * m_RangeX);
    m_AmplitudeY = group.ay * m_RangeY;
    m_AmplitudeZ = group.az * m_RangeZ;

    if (!m_pTables->pulsesReady) {
        m_pTables->pulsesReady = true;
        for (GroupTable& each : m_pTables->groups)
            each.pulsePeriod = static_cast<float>(period / (1 << m_pRand->below(4)));
    }
    return colourOffset;
}

void MoverFollow::Step(float& x, float& y, float& z, const FrameContext& frame) {
    Advance(x, y, z, frame.clock.sceneTime);
}

void MoverFollow::Advance(float& x, float& y, float& z, float t) {
    const GroupTable& group = m_pTables->groups[Group()];
    const int members = group.memberCount;
    double phase = 0.0;
    if (members > 0) {
        const double pulse = std::fabs(maths::Sin(t / group.pulsePeriod * std::numbers::pi));
        phase = pulse * (m_MemberIndex * 2.0 * std::numbers::pi / members);
    }
    x = static_cast<float>(maths::Sin(static_cast<double>(t) * m_RateX + phase) * m_AmplitudeX);
    y = static_cast<float>(maths::Sin(static_cast<double>(t) * m_RateY + phase) * m_AmplitudeY);
    z = static_cast<float>(maths::Sin(static_cast<double>(t) * m_RateZ + phase) * m_AmplitudeZ);
    m_bVisible = true;
}
