#include "patterns/BinOp.h"
#include "core/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <typeinfo>

TEST(BinOp, CreateDrawsOneOfNineWithOneDraw) {
    // From an independent port of the generator: the first draws of seeds 1, 2, 3 are
    // 298227348, 62530846, 826834344, so below(9) gives 2, 0, 7.
    Random one(1), two(2), three(3);
    EXPECT_EQ(typeid(*BinOp::Create(one, 256)), typeid(BinOpSqrt));
    EXPECT_EQ(typeid(*BinOp::Create(two, 256)), typeid(BinOpAdd));
    EXPECT_EQ(typeid(*BinOp::Create(three, 256)), typeid(BinOpMin));
    Random a(1), b(1);
    BinOp::Create(a, 256);
    b.next();
    EXPECT_EQ(a.next(), b.next());
}

TEST(BinOp, ArithmeticOperatorsNormaliseByTheRanges) {
    EXPECT_FLOAT_EQ(BinOpAdd(256).Apply(1.0f, -3.0f, 2.0f, -4.0f), -2.0f / 6.0f);
    EXPECT_FLOAT_EQ(BinOpMult(256).Apply(1.5f, -2.0f, -3.0f, 4.0f), -3.0f / 12.0f);
    EXPECT_FLOAT_EQ(BinOpSqrt(256).Apply(3.0f, 4.0f, 6.0f, 8.0f), 0.5f);
    EXPECT_FLOAT_EQ(BinOpMin(256).Apply(1.0f, -1.0f, 2.0f, 4.0f), -0.25f);
    EXPECT_FLOAT_EQ(BinOpAtan(256).Apply(1.0f, -1.0f, 0.0f, 0.0f), 0.75f);
}

TEST(BinOp, ZeroRangesAndZeroOperandsGiveZero) {
    EXPECT_EQ(BinOpAdd(256).Apply(1.0f, 2.0f, 0.0f, 0.0f), 0.0f);
    EXPECT_EQ(BinOpMult(256).Apply(1.0f, 2.0f, 0.0f, 3.0f), 0.0f);
    EXPECT_EQ(BinOpSqrt(256).Apply(1.0f, 2.0f, 0.0f, 0.0f), 0.0f);
    for (const auto& op :
         {std::unique_ptr<BinOp>(new BinOpAnd(256)), std::unique_ptr<BinOp>(new BinOpOr(256)),
          std::unique_ptr<BinOp>(new BinOpXOr(256)), std::unique_ptr<BinOp>(new BinOpMod(256)),
          std::unique_ptr<BinOp>(new BinOpMin(256))}) {
        EXPECT_EQ(op->Apply(1.0f, 1.0f, 0.0f, 1.0f), 0.0f) << typeid(*op).name();
        EXPECT_EQ(op->Apply(1.0f, 1.0f, 1.0f, 0.0f), 0.0f) << typeid(*op).name();
    }
    EXPECT_EQ(BinOpAtan(256).Apply(0.0f, 1.0f, 1.0f, 1.0f), 0.0f);
    EXPECT_EQ(BinOpAtan(256).Apply(1.0f, 0.0f, 1.0f, 1.0f), 0.0f);
}

TEST(BinOp, BitwiseOperatorsWorkOnColourSteps) {
    // Top of both ranges: p = q = N, and N AND N / N = 1.
    EXPECT_FLOAT_EQ(BinOpAnd(256).Apply(2.0f, 3.0f, 2.0f, 3.0f), 1.0f);
    // a / ra = 0.5 gives p = 192, b / rb = -0.5 gives q = 64.
    EXPECT_FLOAT_EQ(BinOpAnd(256).Apply(1.0f, -1.0f, 2.0f, 2.0f), 0.25f);          // 192 & 64
    EXPECT_FLOAT_EQ(BinOpAnd(256).Apply(0.5f, -1.0f, 2.0f, 2.0f), 0.0f);           // 160 & 64
    EXPECT_FLOAT_EQ(BinOpOr(256).Apply(0.5f, -1.0f, 2.0f, 2.0f), 224.0f / 512.0f); // 160 | 64
    EXPECT_FLOAT_EQ(BinOpXOr(256).Apply(1.0f, 0.0f, 2.0f, 2.0f), 64.0f / 512.0f);  // 192 ^ 128
    EXPECT_FLOAT_EQ(BinOpMod(256).Apply(1.0f, -1.0f, 2.0f, 2.0f), 0.0f);           // 192 % 64
    EXPECT_FLOAT_EQ(BinOpMod(256).Apply(1.0f, 0.0f, 2.0f, 2.0f), 64.0f / 512.0f);  // 192 % 128
    // q = 0: p / N in whole steps, 0 below the top and 1 at it.
    EXPECT_EQ(BinOpMod(256).Apply(1.0f, -2.0f, 2.0f, 2.0f), 0.0f);
    EXPECT_EQ(BinOpMod(256).Apply(2.0f, -2.0f, 2.0f, 2.0f), 1.0f);
    // A colour count of 0 is read as 1 instead of dividing by it.
    EXPECT_EQ(BinOpMod(0).Apply(2.0f, -2.0f, 2.0f, 2.0f), 1.0f);
    EXPECT_TRUE(std::isfinite(BinOpAnd(256).Apply(1e30f, 1.0f, 1e-30f, 1.0f)));
}
