#include "motion/Rotater.h"

#include "core/FloatArray.h"
#include "core/Maths.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "motion/RotaterDirection.h"
#include "motion/RotaterOutFromZAxis.h"
#include "motion/RotaterOutward.h"
#include "motion/RotaterRandom.h"

#include <GL/gl.h>

#include <cmath>
#include <iterator>
#include <numbers>
#include <type_traits>
#include <typeinfo>

namespace {

float MaxChange(Random& rng, float maxStep) {
    const double inner = rng.uniform();
    const double outer = rng.uniform();
    return static_cast<float>(outer * (inner * maxStep));
}

// The next step towards target from angle: the short way round when wrapping, at most
// maxStep, and changing from the last step by at most maxChange.
float SteerStep(float target, float angle, bool wrap, float maxStep, float lastStep,
                float maxChange) {
    float s = target - angle;
    if (wrap) {
        if (s > 180.0f)
            s -= 360.0f;
        else if (s <= -180.0f)
            s += 360.0f;
    }
    if (s > maxStep)
        s = maxStep;
    else if (s < -maxStep)
        s = -maxStep;
    const float change = s - lastStep;
    if (std::fabs(change) > maxChange)
        s = lastStep + (change > 0.0f ? maxChange : -maxChange);
    return s;
}

float Degrees(double radians) {
    return static_cast<float>(radians * 180.0 / std::numbers::pi);
}

} // namespace

Rotater::Rotater(Random& rng) : m_pRand(&rng) {
    m_Spin = static_cast<float>(rng.below(360));
    m_Yaw = static_cast<float>(rng.below(360));
    m_Roll = static_cast<float>(rng.below(360));
    // Drawn twice; the second pair holds.
    for (int round = 0; round < 2; ++round) {
        m_MaxYawStep = static_cast<float>(rng.skewed(90, 2) + 1);
        m_MaxRollStep = static_cast<float>(rng.skewed(90, 2) + 1);
    }
    m_MaxYawChange = MaxChange(rng, m_MaxYawStep);
    m_MaxRollChange = MaxChange(rng, m_MaxRollStep);
    m_bWrapYaw = rng.uniform() < 0.8;
    m_bWrapRoll = rng.uniform() < 0.8;
    const double e = static_cast<float>(rng.uniform());
    if (e < 0.2)
        m_bWobbleRoll = true;
    else if (e < 0.3)
        m_bWobbleYaw = true;
    else if (e < 0.4)
        m_bExtraSpin = true;
    m_PhaseStep = static_cast<float>(rng.uniform() * 20.0);
}

namespace {

template <class T> std::unique_ptr<Rotater> Make(Random& rng, const MotionContext& motion) {
    if constexpr (std::is_constructible_v<T, Random&, const MotionContext&>)
        return std::make_unique<T>(rng, motion);
    else
        return std::make_unique<T>(rng);
}

template <class T> bool Is(const Rotater& rotater) {
    return typeid(rotater) == typeid(T);
}

struct RotaterKind {
    int kind;
    const char* name;
    float weight;
    std::unique_ptr<Rotater> (*make)(Random&, const MotionContext&);
    bool (*is)(const Rotater&);
};

// Every kind the factory knows, in kind order: the row's index is its kind.
constexpr RotaterKind kRotaterKinds[] = {
    {0, "random", 10.0f, Make<RotaterRandom>, Is<RotaterRandom>},
    {1, "outward", 100.0f, Make<RotaterOutward>, Is<RotaterOutward>},
    {2, "direction of travel", 200.0f, Make<RotaterDirection>, Is<RotaterDirection>},
    {3, "out from the z axis", 100.0f, Make<RotaterOutFromZAxis>, Is<RotaterOutFromZAxis>},
};

constexpr bool KindsInOrder() {
    for (std::size_t i = 0; i < std::size(kRotaterKinds); ++i)
        if (kRotaterKinds[i].kind != static_cast<int>(i))
            return false;
    return true;
}
static_assert(KindsInOrder(), "a row's index must be its kind");
static_assert(kRotaterKinds[Rotater::kDirectionKind].make == Make<RotaterDirection>);

} // namespace

std::unique_ptr<Rotater> Rotater::Create(Random& rng, const MotionContext& motion,
                                         const std::vector<int>* excluded) {
    FloatArray weights;
    for (const RotaterKind& row : kRotaterKinds)
        weights.push_back(row.weight);
    WeightedChoice kinds;
    kinds.setWeights(weights, false);
    const int kind = kinds.choose(rng, excluded, 10);
    const RotaterKind& row =
        kRotaterKinds[kind >= 0 && kind < std::ssize(kRotaterKinds) ? kind : 0];
    return row.make(rng, motion);
}

int Rotater::KindOf(const Rotater& rotater) {
    for (const RotaterKind& row : kRotaterKinds)
        if (row.is(rotater))
            return row.kind;
    return -1;
}

void Rotater::Apply(float x, float y, float z, float sx, float sy, float sz) {
    Advance(x, y, z, sx, sy, sz);
    const RotationList rotations = Rotations();
    for (int i = 0; i < rotations.count; ++i) {
        const Rotation& r = rotations.items[i];
        glRotatef(r.angle, r.x, r.y, r.z);
    }
}

RotationList Rotater::Rotations() const {
    RotationList list;
    list.Add(m_Roll, 0.0f, 0.0f, 1.0f);
    list.Add(m_Yaw, 0.0f, 1.0f, 0.0f);
    if (m_bExtraSpin)
        list.Add(m_Phase, 1.0f, 0.0f, 0.0f);
    return list;
}

void Rotater::ScaleSpin(float factor) {
    m_MaxYawStep *= factor;
    m_MaxRollStep *= factor;
}

void Rotater::TargetAngles(float dx, float dy, float dz, float& yawTarget, float& rollTarget) {
    yawTarget = dx == 0.0f && dz == 0.0f
                    ? 0.0f
                    : Degrees(maths::Atan2(static_cast<double>(dx), static_cast<double>(dz)));
    rollTarget = dx == 0.0f && dy == 0.0f
                     ? 0.0f
                     : Degrees(maths::Atan2(static_cast<double>(dy), static_cast<double>(dx)));
    if (dx < 0.0f)
        rollTarget += 180.0f;
}

void Rotater::TurnToward(float yawTarget, float rollTarget) {
    if (m_bWobbleRoll)
        rollTarget += m_Phase;
    else if (m_bWobbleYaw)
        yawTarget += m_Phase;
    m_Phase += m_PhaseStep;

    m_LastYawStep =
        SteerStep(yawTarget, m_Yaw, m_bWrapYaw, m_MaxYawStep, m_LastYawStep, m_MaxYawChange);
    m_Yaw += m_LastYawStep;
    m_LastRollStep =
        SteerStep(rollTarget, m_Roll, m_bWrapRoll, m_MaxRollStep, m_LastRollStep, m_MaxRollChange);
    m_Roll += m_LastRollStep;
}

void Rotater::CopySteering(const Rotater& source) {
    m_MaxYawStep = source.m_MaxYawStep;
    m_MaxRollStep = source.m_MaxRollStep;
    m_MaxYawChange = source.m_MaxYawChange;
    m_MaxRollChange = source.m_MaxRollChange;
    m_LastYawStep = source.m_LastYawStep;
    m_LastRollStep = source.m_LastRollStep;
    m_bExtraSpin = source.m_bExtraSpin;
    m_bWobbleYaw = source.m_bWobbleYaw;
    m_bWobbleRoll = source.m_bWobbleRoll;
    m_Phase = source.m_Phase;
    m_PhaseStep = source.m_PhaseStep;
}
