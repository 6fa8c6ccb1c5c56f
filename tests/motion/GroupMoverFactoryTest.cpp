#include "GroupScene.h"
#include "motion/MoverBounce.h"
#include "motion/MoverCollide.h"
#include "motion/MoverExplode.h"
#include "motion/MoverFollow.h"
#include "motion/MoverOrbit.h"
#include "motion/MoverPolar.h"
#include "motion/MoverSin.h"
#include "motion/MoverSwarm.h"
#include "motion/MoverXYZ.h"

#include <gtest/gtest.h>

#include <array>
#include <typeindex>
#include <typeinfo>

namespace {

// Shares of each kind among many factory draws, in kind order.
std::array<double, 9> KindShares(float performance, int draws) {
    MotionContext context = DefaultMotion();
    context.performance1 = performance;
    const std::array<std::type_index, 9> kinds = {
        typeid(MoverSin),    typeid(MoverPolar),   typeid(MoverExplode),
        typeid(MoverFollow), typeid(MoverBounce),  typeid(MoverSwarm),
        typeid(MoverOrbit),  typeid(MoverCollide), typeid(MoverXYZ)};
    std::array<double, 9> shares{};
    Random rng(8128);
    for (int i = 0; i < draws; ++i) {
        const auto mover = Mover::Create(rng, context);
        const Mover& made = *mover;
        for (std::size_t k = 0; k < kinds.size(); ++k)
            shares[k] += std::type_index(typeid(made)) == kinds[k] ? 1.0 / draws : 0.0;
    }
    return shares;
}

TEST(GroupMoverFactory, EveryKindComesWithItsWeightAndTheQuadraticOnesNeedPerformance) {
    // Weights 100, 50, 70, 70, 80, 200, 80, 80, 120 out of 850.
    const std::array<double, 9> expected = {0.1176, 0.0588, 0.0824, 0.0824, 0.0941,
                                            0.2353, 0.0941, 0.0941, 0.1412};
    const auto shares = KindShares(1.0f, 6000);
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_NEAR(shares[k], expected[k], 0.02) << "kind " << k;

    const auto slow = KindShares(0.0f, 3000);
    EXPECT_EQ(slow[6], 0.0); // orbits
    EXPECT_EQ(slow[7], 0.0); // collisions
    EXPECT_NEAR(slow[5], 200.0 / 690.0, 0.03);
}

} // namespace
