#include "motion/MoverPolar.h"

#include "core/Maths.h"
#include "core/Random.h"
#include "motion/SceneClock.h"
#include "shapes/Shape.h"

#include <cmath>
#include <numbers>

MoverPolar::MoverPolar(Random& rng, const MotionContext& motion) : Mover(rng, motion) {
    DrawDirection();
    m_Amplitude = static_cast<float>(((1.0 - rng.uniform()) * 13.0 + 2.0) / 2.0);
}

MoverPolar::MoverPolar(const MoverPolar& source) : Mover(source), m_Rate(source.m_Rate) {
    DrawDirection();
    m_Amplitude = static_cast<float>((1.0 - m_pRand->uniform()) * source.m_Amplitude);
}

void MoverPolar::DrawDirection() {
    // Whole numbers of radians, as drawn: the directions are still well spread.
    const auto theta = static_cast<float>(m_pRand->below(360));
    const auto phi = static_cast<float>(m_pRand->below(360));
    m_Direction = PolarDirection::Of(theta, phi);
}

std::unique_ptr<Mover> MoverPolar::Clone() const {
    return std::unique_ptr<Mover>(new MoverPolar(*this));
}

void MoverPolar::Setup(Shape& shape, const FrameContext& frame, int colourStep, int) {
    shape.SetColor(Prepare(frame.clock.cycleFrames, colourStep), 1.0f);
}

int MoverPolar::Prepare(int cycleFrames, int colourStep) {
    const int b = m_pRand->below(10);
    m_Rate = static_cast<float>((b + 1) * std::numbers::pi / cycleFrames);
    return colourStep * (b + 2);
}

void MoverPolar::StartPosition(float& x, float& y, float& z) {
    x = y = z = 0.0f;
}

void MoverPolar::Step(float& x, float& y, float& z, const FrameContext& frame) {
    Advance(x, y, z, frame.clock.sceneTime);
}

void MoverPolar::Advance(float& x, float& y, float& z, float t) {
    const float d =
        static_cast<float>(std::fabs(maths::Sin(static_cast<double>(t) * m_Rate)) * m_Amplitude);
    x = d * m_Direction.x;
    y = d * m_Direction.y;
    z = d * m_Direction.z;
    m_bVisible = true;
}
