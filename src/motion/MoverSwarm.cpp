#include "motion/MoverSwarm.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "motion/EndShrink.h"
#include "motion/MoverMath.h"
#include "motion/SceneClock.h"
#include "shapes/Shape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

MoverSwarm::MoverSwarm(Random& rng, const MotionContext& motion)
    : Mover(rng, motion), m_pTables(std::make_shared<Tables>()) {
    m_SpeedScale = static_cast<float>(rng.uniform() * 0.05 + 0.01);
    DrawVelocity();
    m_Acceleration = static_cast<float>((1.0 - rng.uniform()) * 0.01);
    m_SwarmCount = rng.below(10) + 2;
    m_pTables->swarms.assign(static_cast<std::size_t>(m_SwarmCount), SwarmTable{});

    const auto frequency = [&rng] {
        return static_cast<float>((rng.below(10) + 1) * 2 * std::numbers::pi);
    };
    // Reaches out towards the box face on the side the sign picks.
    const auto amplitude = [this, &rng](float centre) {
        const int sign = Sign();
        const double u1 = rng.uniform();
        const double u2 = rng.uniform();
        const double u3 = rng.uniform();
        return static_cast<float>(std::fabs(7.5 - centre) * sign * (1.0 - u1 * u2 * u3));
    };
    for (SwarmTable& swarm : m_pTables->swarms) {
        swarm.centreX = static_cast<float>(rng.symmetric() * 2.5);
        swarm.centreY = static_cast<float>(rng.symmetric() * 2.5);
        swarm.centreZ = static_cast<float>(rng.symmetric() * 2.5);
        swarm.frequencyX = frequency();
        swarm.frequencyY = frequency();
        swarm.frequencyZ = frequency();
        swarm.amplitudeX = amplitude(swarm.centreX);
        swarm.amplitudeY = amplitude(swarm.centreY);
        swarm.amplitudeZ = amplitude(swarm.centreZ);
    }
    m_Swarm = rng.below(m_SwarmCount);
}

MoverSwarm::MoverSwarm(const MoverSwarm& source)
    : Mover(source), m_pTables(source.m_pTables), m_SpeedScale(source.m_SpeedScale),
      m_SwarmCount(source.m_SwarmCount), m_LeaveFrame(source.m_LeaveFrame),
      m_ShrinkStart(source.m_ShrinkStart) {
    DrawVelocity();
    m_Acceleration = static_cast<float>((1.0 - m_pRand->uniform()) * 0.01);
    m_Swarm = m_pRand->below(m_SwarmCount);
}

void MoverSwarm::DrawVelocity() {
    DrawSymmetricVelocity(*m_pRand, m_SpeedScale, m_VelocityX, m_VelocityY, m_VelocityZ);
}

std::unique_ptr<Mover> MoverSwarm::Clone() const {
    return std::unique_ptr<Mover>(new MoverSwarm(*this));
}

void MoverSwarm::Setup(Shape& shape, const FrameContext& frame, int, int) {
    const MotionContext& context = m_Motion;
    const int n = context.colourCount;
    int colourOffset = n * m_Swarm / m_SwarmCount;
    if (m_bColourBySpread) {
        // A table without bands has nothing to spread over; count it as one band.
        const int bands = std::max(context.bandCount, 1);
        colourOffset = static_cast<int>(n * (m_Acceleration / 0.01) / bands + colourOffset);
    }
    shape.SetColor(colourOffset, 1.0f);
    const int period = frame.clock.cycleFrames;
    m_LeaveFrame = static_cast<int>(period * 0.75);
    m_ShrinkStart = static_cast<int>(period * 0.95);
    if (!m_pTables->ratesReady) {
        m_pTables->ratesReady = true;
        const auto perScene = static_cast<float>(period);
        for (SwarmTable& swarm : m_pTables->swarms) {
            swarm.frequencyX /= perScene;
            swarm.frequencyY /= perScene;
            swarm.frequencyZ /= perScene;
        }
    }
}

void MoverSwarm::StartPosition(float& x, float& y, float& z) {
    x = y = z = 0;
}

void MoverSwarm::Target(const SceneClock& clock, float& x, float& y, float& z) const {
    if (clock.frameNumber >= m_LeaveFrame) {
        x = y = z = 0;
        return;
    }
    const SwarmTable& swarm = m_pTables->swarms[m_Swarm];
    const double t = clock.sceneTime;
    x = static_cast<float>(maths::Sin(t * swarm.frequencyX) * swarm.amplitudeX + swarm.centreX);
    y = static_cast<float>(maths::Sin(t * swarm.frequencyY) * swarm.amplitudeY + swarm.centreY);
    z = static_cast<float>(maths::Sin(t * swarm.frequencyZ) * swarm.amplitudeZ + swarm.centreZ);
}

void MoverSwarm::Step(float& x, float& y, float& z, const FrameContext& frame) {
    const SceneClock clock = frame.clock;
    float tx = 0, ty = 0, tz = 0;
    Target(clock, tx, ty, tz);
    const float dx = tx - x, dy = ty - y, dz = tz - z;
    float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (d == 0) // on the target: any direction will do, and no division by zero
        d = static_cast<float>(m_pRand->uniform() + 0.001);
    const float pull = m_Acceleration / d;
    const auto clamp = [](float v) { return std::clamp(v, -MaxSpeed, MaxSpeed); };
    m_VelocityX = clamp(m_VelocityX + pull * dx);
    m_VelocityY = clamp(m_VelocityY + pull * dy);
    m_VelocityZ = clamp(m_VelocityZ + pull * dz);
    x += m_VelocityX;
    y += m_VelocityY;
    z += m_VelocityZ;
    ApplyEndShrink(x, y, z, m_ShrinkStart, clock);
    m_bVisible = true;
}

void MoverSwarm::Frequency(int swarm, float& x, float& y, float& z) const {
    const SwarmTable& table = m_pTables->swarms[swarm];
    x = table.frequencyX;
    y = table.frequencyY;
    z = table.frequencyZ;
}
