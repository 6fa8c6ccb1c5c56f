#include "shapes/TransformStack.h"
#include "shapes/Primitives.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TransformStack, ComposesLikeTheGLMatrixStack) {
    TransformStack stack;
    const Vec3d p{1, 1, 1};
    EXPECT_EQ(stack.Point(p), p);

    stack.Push();
    stack.Translate(1, 2, 3);
    stack.Scale(2, 2, 2);
    // T * S * p: scaled first, then moved.
    EXPECT_EQ(stack.Point(p), (Vec3d{3, 4, 5}));
    stack.Push();
    stack.Translate(1, 0, 0); // in scaled units
    EXPECT_EQ(stack.Point({0, 0, 0}), (Vec3d{3, 2, 3}));
    stack.Pop();
    EXPECT_EQ(stack.Point({0, 0, 0}), (Vec3d{1, 2, 3}));
    stack.Pop();
    EXPECT_EQ(stack.Depth(), 0);
}

TEST(TransformStack, NormalsFollowTheInverseTransposeOfAStretch) {
    TransformStack stack;
    stack.Push();
    stack.Scale(2, 1, 1);
    // The plane x + y = 0 stretched along x becomes x / 2 + y = 0.
    const double s = 1 / std::sqrt(2.0);
    const Vec3d n = stack.Normal({s, s, 0});
    EXPECT_NEAR(n[0], 1 / std::sqrt(5.0), 1e-15);
    EXPECT_NEAR(n[1], 2 / std::sqrt(5.0), 1e-15);
    EXPECT_NEAR(n[2], 0, 1e-15);
}

// Earlier tests may leave GL driver threads running: fork only into a fresh process.
TEST(TransformStackDeathTest, TenthPushOrPopAtTheBottomEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TransformStack stack;
    for (int i = 0; i < TransformStack::kLevels - 1; ++i)
        stack.Push();
    EXPECT_EQ(stack.Depth(), TransformStack::kLevels - 1);
    Primitives::SetMessageBoxes(true);
    EXPECT_EXIT(stack.Push(), testing::ExitedWithCode(1), "m_pushmatrix: stack overflow");
    EXPECT_EXIT(TransformStack().Pop(), testing::ExitedWithCode(1), "m_popmatrix: stack underflow");
}

TEST(TransformStackDeathTest, ZeroNormalEndsTheProcessSilentlyWithoutMessageBoxes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Primitives::SetMessageBoxes(true);
    EXPECT_EXIT(Normalize({0, 0, 0}), testing::ExitedWithCode(1), "normalize: zero length vector");
    Primitives::SetMessageBoxes(false);
    EXPECT_EXIT(Normalize({0, 0, 0}), testing::ExitedWithCode(1), "^$");
    Primitives::SetMessageBoxes(true);
}
