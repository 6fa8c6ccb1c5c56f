#include "patterns/Interpolator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

const FloatArray kKnots{-1.0f, -0.2f, 0.5f, 1.0f};
const FloatArray kValues{0.2f, 0.9f, 0.1f, 0.6f};

} // namespace

TEST(Interpolator, CreateGivesSplineForKindOneOnly) {
    EXPECT_NE(dynamic_cast<InterpSpline*>(Interpolator::Create(1, kKnots, kValues).get()), nullptr);
    EXPECT_NE(dynamic_cast<InterpLinear*>(Interpolator::Create(0, kKnots, kValues).get()), nullptr);
    EXPECT_NE(dynamic_cast<InterpLinear*>(Interpolator::Create(7, kKnots, kValues).get()), nullptr);
}

TEST(Interpolator, LinearIsFlatOutsideAndStraightBetweenKnots) {
    InterpLinear lin(kKnots, kValues);
    EXPECT_FLOAT_EQ(lin.Value(-1.5f), 0.2f);
    EXPECT_FLOAT_EQ(lin.Value(-1.0f), 0.2f);
    EXPECT_FLOAT_EQ(lin.Value(1.3f), 0.6f);
    EXPECT_FLOAT_EQ(lin.Value(-0.6f), 0.55f); // halfway from 0.2 to 0.9
    EXPECT_FLOAT_EQ(lin.Value(0.0f), 0.9f - 0.8f * 2.0f / 7.0f);
    EXPECT_FLOAT_EQ(lin.Value(0.75f), 0.35f);
    EXPECT_FLOAT_EQ(lin.Value(0.5f), 0.1f);
}

TEST(Interpolator, CachedSegmentGivesTheFreshSearchResult) {
    // Knots with a repeated one: the cache must not pick the zero-width segment where a
    // fresh search would stop at the first of the equal knots.
    const FloatArray knots{-1.0f, -0.5f, 0.0f, 0.0f, 0.25f, 1.0f};
    const FloatArray values{0.0f, 1.0f, 0.5f, 0.8f, 0.3f, 0.9f};
    InterpLinear walked(knots, values);
    for (int k = -130; k <= 130; ++k) {
        const float x = static_cast<float>(k) / 100.0f;
        InterpLinear fresh(knots, values);
        EXPECT_EQ(walked.Value(x), fresh.Value(x)) << "x = " << x;
    }
    // Walking backwards too, and across the repeated knot.
    for (int k = 130; k >= -130; k -= 5) {
        const float x = static_cast<float>(k) / 100.0f;
        InterpLinear fresh(knots, values);
        EXPECT_EQ(walked.Value(x), fresh.Value(x)) << "x = " << x;
    }
    EXPECT_FLOAT_EQ(walked.Value(0.0f), 0.5f);
}

TEST(Interpolator, SplineMatchesExactNaturalSpline) {
    // Values of the natural cubic spline through these points, solved in exact rationals.
    InterpSpline spline(kKnots, kValues);
    ASSERT_EQ(spline.Curvatures().size(), 4u);
    EXPECT_EQ(spline.Curvatures()[0], 0.0f);
    EXPECT_NEAR(spline.Curvatures()[1], -5.671705343836491, 1e-5);
    EXPECT_NEAR(spline.Curvatures()[2], 7.011390249095167, 1e-5);
    EXPECT_EQ(spline.Curvatures()[3], 0.0f);
    EXPECT_NEAR(spline.Value(-1.5f), -0.46791302959335745, 1e-6); // extrapolated
    EXPECT_NEAR(spline.Value(-0.6f), 0.7768682137534596, 1e-6);
    EXPECT_NEAR(spline.Value(0.0f), 0.6832332187718605, 1e-6);
    EXPECT_NEAR(spline.Value(0.75f), 0.240447027357888, 1e-6);
    EXPECT_NEAR(spline.Value(1.3f), 1.0121822439855226, 1e-6); // extrapolated
    for (std::size_t i = 0; i < kKnots.size(); ++i)
        EXPECT_FLOAT_EQ(spline.Value(kKnots[i]), kValues[i]);
}

TEST(Interpolator, SplineThroughCollinearPointsIsTheLine) {
    InterpSpline spline({0.0f, 1.0f, 3.0f, 4.0f, 4.5f}, {1.0f, 3.0f, 7.0f, 9.0f, 10.0f});
    for (float y2 : spline.Curvatures())
        EXPECT_NEAR(y2, 0.0f, 1e-6f);
    for (float x : {-1.0f, 0.5f, 2.0f, 3.9f, 6.0f})
        EXPECT_NEAR(spline.Value(x), 2.0f * x + 1.0f, 1e-5f) << x;
}

TEST(Interpolator, SplineWithTwoKnotsIsLinear) {
    InterpSpline spline({-1.0f, 1.0f}, {0.0f, 4.0f});
    EXPECT_FLOAT_EQ(spline.Value(0.0f), 2.0f);
    EXPECT_FLOAT_EQ(spline.Value(0.5f), 3.0f);
    EXPECT_FLOAT_EQ(spline.Value(2.0f), 6.0f);
    EXPECT_FLOAT_EQ(spline.Value(-2.0f), -2.0f);
}

TEST(Interpolator, RepeatedKnotsStayFinite) {
    // A first knot repeated, one inside and three equal: every value stays a number and the
    // zero-width segment takes its left value.
    InterpSpline spline({0.0f, 0.0f, 1.0f, 2.0f, 2.0f, 2.0f, 3.0f},
                        {1.0f, 5.0f, 2.0f, 4.0f, 0.0f, 3.0f, 1.0f});
    for (float y2 : spline.Curvatures())
        EXPECT_TRUE(std::isfinite(y2));
    for (int k = -10; k <= 40; ++k)
        EXPECT_TRUE(std::isfinite(spline.Value(static_cast<float>(k) / 10.0f))) << k;
    EXPECT_FLOAT_EQ(spline.Value(1.0f), 2.0f);
}

TEST(Interpolator, FewerThanTwoKnotsGiveTheOnlyValue) {
    InterpSpline one({0.5f}, {0.25f});
    InterpLinear oneLinear({0.5f}, {0.25f});
    InterpSpline none({}, {});
    EXPECT_EQ(one.Value(3.0f), 0.25f);
    EXPECT_EQ(oneLinear.Value(-3.0f), 0.25f);
    EXPECT_EQ(none.Value(0.0f), 0.0f);
    // Arrays of different lengths use the shorter.
    InterpLinear uneven({0.0f, 1.0f, 2.0f}, {0.0f, 1.0f});
    EXPECT_EQ(uneven.Count(), 2);
    EXPECT_EQ(uneven.Value(5.0f), 1.0f);
}

TEST(Interpolator, SetPointsReplacesTheCurve) {
    InterpSpline spline(kKnots, kValues);
    spline.SetPoints({-1.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 1.0f});
    // y2[1] = 6 (1 - (-1)) / (2 * 2) = 3; at t = 1/2 the cubic term is -t (t - 1) (t - 2) 3 / 6.
    EXPECT_FLOAT_EQ(spline.Curvatures()[1], 3.0f);
    EXPECT_FLOAT_EQ(spline.Value(0.5f), 0.3125f);
    InterpLinear lin(kKnots, kValues);
    EXPECT_FLOAT_EQ(lin.Value(0.75f), 0.35f); // caches the last segment
    lin.SetPoints({0.0f, 1.0f}, {2.0f, 4.0f});
    EXPECT_FLOAT_EQ(lin.Value(0.75f), 3.5f);
}
