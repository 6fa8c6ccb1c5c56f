#include "motion/MoverSin.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "motion/SceneClock.h"
#include "shapes/Shape.h"

#include <cmath>
#include <numbers>

MoverSin::MoverSin(Random& rng, const MotionContext& motion, std::shared_ptr<float> stepBias)
    : Mover(rng, motion),
      m_pStepBias(stepBias ? std::move(stepBias) : std::make_shared<float>(1.0f)) {
    m_RangeX = static_cast<float>(rng.uniform() * 7.5);
    m_RangeY = static_cast<float>(rng.uniform() * 7.5);
    m_RangeZ = static_cast<float>(rng.uniform() * 7.5);
    *m_pStepBias = static_cast<float>(rng.skewed(10, 3) + 1);
}

std::unique_ptr<Mover> MoverSin::Clone() const {
    return std::unique_ptr<Mover>(new MoverSin(*this));
}

void MoverSin::Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) {
    shape.SetColor(Prepare(frame.clock.cycleFrames, colourStep, spread), 1.0f);
}

int MoverSin::Prepare(int cycleFrames, int colourStep, int spread) {
    const int k = colourStep;
    const int a = m_pRand->below(10) + 1;
    const int b = m_pRand->below(10) + 1;
    const int m = m_pRand->below(10) + 1;
    const double period = static_cast<double>(cycleFrames) * k;
    m_RateX = static_cast<float>(a * k * std::numbers::pi / period);
    m_RateY = static_cast<float>(b * k * std::numbers::pi / period);
    m_RateZ = static_cast<float>(m * k * std::numbers::pi / period);
    const int colourOffset = k + k * a + k * b;

    const auto amplitude = [&](float range) {
        const int r1 = m_pRand->below(static_cast<int>(*m_pStepBias));
        const int s = Sign();
        const int r3 = m_pRand->below(spread);
        return static_cast<float>(static_cast<double>(r3 + 1) / spread * s *
                                  ((r1 + 1) / static_cast<double>(*m_pStepBias) * range));
    };
    m_AmplitudeX = amplitude(m_RangeX);
    m_AmplitudeY = amplitude(m_RangeY);
    m_AmplitudeZ = amplitude(m_RangeZ);
    return colourOffset;
}

void MoverSin::StartPosition(float& x, float& y, float& z) {
    x = y = z = 0.0f;
}

void MoverSin::Step(float& x, float& y, float& z, const FrameContext& frame) {
    Advance(x, y, z, frame.clock.sceneTime);
}

void MoverSin::Advance(float& x, float& y, float& z, float t) {
    x = static_cast<float>(maths::Sin(static_cast<double>(t) * m_RateX) * m_AmplitudeX);
    y = static_cast<float>(maths::Sin(static_cast<double>(t) * m_RateY) * m_AmplitudeY);
    z = static_cast<float>(maths::Sin(static_cast<double>(t) * m_RateZ) * m_AmplitudeZ);
    m_bVisible = true;
}
