#include "core/DrawGate.h"
#include "core/Random.h"
#include "patterns/PatternFloat.h"
#include "patterns/PatternInt.h"
#include "patterns/tvVectorStack.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <initializer_list>
#include <set>
#include <vector>

namespace {

struct RefusingGate : DrawGate {
    bool CanDraw() override { return false; }
};

PatternContext Scaled(int sceneSize) {
    PatternContext context;
    context.sceneSize = sceneSize;
    return context;
}

void Load(PatternFloat& pattern, std::initializer_list<int> ops) {
    const std::vector<int> program(ops);
    pattern.SetProgram(program.data(), static_cast<int>(program.size()));
}

void Load(PatternInt& pattern, std::initializer_list<int> ops) {
    const std::vector<int> program(ops);
    pattern.SetProgram(program.data(), static_cast<int>(program.size()));
}

float Value(PatternCalculator& pattern, FloatArray in) {
    FloatArray out(1, -9.0f);
    pattern.Calculate(in, out);
    return out[0];
}

} // namespace

TEST(tvVectorStack, PushPopAndPeak) {
    tvVectorStack<int> stack(3);
    EXPECT_TRUE(stack.IsEmpty());
    stack.Push(4);
    stack.Push(5);
    EXPECT_EQ(stack.Size(), 2);
    EXPECT_EQ(stack.Top(), 5);
    stack.Top() = 6;
    tvVectorStack<int> copy(1);
    copy = stack;
    stack.Pop();
    EXPECT_EQ(stack.Top(), 4);
    EXPECT_EQ(copy.Size(), 2);
    EXPECT_EQ(copy.Top(), 6);
    stack.Clear();
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(stack.Peak(), 2);
    EXPECT_EQ(stack.Capacity(), 3);
}

TEST(PatternFloat, PushXAloneGivesTheCoordinate) {
    Random rng(1);
    PatternFloat pattern(rng, PatternContext{});
    Load(pattern, {0});
    for (const float x : {-1.0f, -0.3f, 0.0f, 0.7f, 1.0f})
        EXPECT_FLOAT_EQ(Value(pattern, {x}), x * 0.5f + 0.5f);
    EXPECT_FLOAT_EQ(Value(pattern, {1.5f}), 1.0f); // pushes clamp to [-1, 1]
}

// Hand-computed at x = 0.5, y = -0.25 (the top t is y, the one below it s is x).
TEST(PatternFloat, OperatorsOnTwoValues) {
    Random rng(1);
    PatternFloat pattern(rng, PatternContext{});
    struct Case {
        std::initializer_list<int> ops;
        float top;
    };
    const Case cases[] = {
        {{0, 1, 2}, 0.125f},       // (t + s) / 2
        {{0, 1, 3}, -0.125f},      // t s
        {{0, 3}, 0.25f},           // alone: t t
        {{0, 1, 4}, -0.5f},        // smaller magnitude over larger: t / s
        {{1, 0, 4}, -0.5f},        // ... either way round: s / t
        {{0, 1, 5}, -0.375f},      // (t - s) / 2
        {{0, 5}, -0.5f},           // alone: -t
        {{0, 1, 8}, 0.5f},         // swap
        {{1, 9}, 0.5f},            // sqrt |t|
        {{0, 10}, 0.25f},          // t t
        {{0, 1, 13}, 0.5f},        // max
        {{0, 1, 14}, -0.25f},      // min
        {{0, 1, 0, 1, 2}, 0.125f}, // on a deeper stack
    };
    for (const Case& c : cases) {
        Load(pattern, c.ops);
        EXPECT_FLOAT_EQ(Value(pattern, {0.5f, -0.25f}), c.top * 0.5f + 0.5f)
            << "program of " << c.ops.size() << " ending in " << *(c.ops.end() - 1);
    }
    Load(pattern, {7, 7, 4}); // 0 over 0 (constants not drawn yet) stays 0
    EXPECT_FLOAT_EQ(Value(pattern, {0.5f, -0.25f}), 0.5f);
}

TEST(PatternFloat, AcceptedProgramsAreVariedAndTheThirtySecondStays) {
    int accepted = 0;
    FloatArray out(1);
    for (int seed = 1; seed <= 300; ++seed) {
        const int inputs = 1 + seed % 2;
        Random rng(seed);
        PatternFloat pattern(rng, PatternContext{});
        pattern.Randomize(inputs, 1, false, 2);
        ASSERT_TRUE(pattern.IsRandomized());
        ASSERT_LE(pattern.Tries(), PatternFloat::kMaxTries);
        if (pattern.Tries() == PatternFloat::kMaxTries)
            continue;
        ++accepted;
        std::set<float> values;
        for (const float x : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) {
            for (const float y : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) {
                if (inputs == 1 && y != x)
                    continue;
                values.insert(Value(pattern, inputs == 1 ? FloatArray{x} : FloatArray{x, y}));
            }
        }
        EXPECT_GT(values.size(), 2u * inputs) << "seed " << seed;
    }
    EXPECT_GT(accepted, 250);

    // More than 26 distinct values out of 25 samples can never be: 32 programs, then the last.
    Random rng(7);
    PatternFloat pattern(rng, PatternContext{});
    pattern.Randomize(13, 1, false, 2);
    EXPECT_TRUE(pattern.IsRandomized());
    EXPECT_EQ(pattern.Tries(), PatternFloat::kMaxTries);
}

TEST(PatternFloat, RefusingGateEndsTheSearchUnrandomized) {
    RefusingGate gate;
    PatternContext context;
    context.gate = &gate;
    Random rng(7);
    PatternFloat pattern(rng, context);
    pattern.Randomize(13, 1, false, 2);
    EXPECT_FALSE(pattern.IsRandomized());
    EXPECT_EQ(pattern.Tries(), 1);
    EXPECT_GE(pattern.Length(), 3);
}

TEST(PatternInt, ZeroDivisorGivesZero) {
    Random rng(1);
    PatternInt pattern(rng, Scaled(1000));
    Load(pattern, {0, 11, 4});
    pattern.SetConstant(1, 0);
    EXPECT_EQ(pattern.Run(7, 0), 0);
    pattern.SetConstant(1, -2);
    EXPECT_EQ(pattern.Run(7, 0), -3); // truncates toward zero
    Load(pattern, {0, 11, 7});
    pattern.SetConstant(1, 3);
    EXPECT_EQ(pattern.Run(-7, 0), -1); // remainder takes the dividend's sign
}

TEST(PatternInt, RemainderBySmallDivisorLeavesTheStack) {
    Random rng(1);
    PatternInt pattern(rng, Scaled(1000));
    Load(pattern, {0, 11, 7});
    for (const int divisor : {-1, 0, 1}) {
        pattern.SetConstant(1, divisor);
        EXPECT_EQ(pattern.Run(9, 0), divisor);
        EXPECT_EQ(pattern.Stack().Size(), 2);
    }
}

// Hand-computed at X = 250, Y = 4 with S = 1000.
TEST(PatternInt, OperatorsOnTwoValues) {
    Random rng(1);
    PatternInt pattern(rng, Scaled(1000));
    struct Case {
        std::initializer_list<int> ops;
        int top;
    };
    const Case cases[] = {
        {{0, 1, 2}, 254},  {{0, 2}, 500},  {{0, 1, 3}, 0},    {{0, 0, 3}, 500}, {{0, 3}, 500},
        {{0, 1, 5}, -246}, {{0, 5}, -250}, {{0, 1, 6}, 254},  {{0, 1, 8}, 0},   {{0, 1, 10}, 254},
        {{0, 1, 9}, 63},   {{1, 1, 9}, 5}, {{0, 1, 13}, 250}, {{0, 14}, 15},    {{0, 15}, 5},
        {{0, 16}, 500},    {{0, 17}, 707}, {{1, 17}, 12},
    };
    for (const Case& c : cases) {
        Load(pattern, c.ops);
        EXPECT_EQ(pattern.Run(250, 4), c.top)
            << "program of " << c.ops.size() << " ending in " << *(c.ops.end() - 1);
    }
}

// Results that overflow 32 bits wrap around; products reduced mod S are exact.
TEST(PatternInt, ArithmeticNeverOverflows) {
    Random rng(1);
    PatternInt pattern(rng, Scaled(1000));
    const auto run = [&](std::initializer_list<int> ops, std::initializer_list<int> constants) {
        Load(pattern, ops);
        int position = 0;
        for (const int c : constants)
            pattern.SetConstant(position++, c);
        return pattern.Run(0, 0);
    };
    EXPECT_EQ(run({11, 5}, {INT_MIN}), INT_MIN);                  // -INT_MIN
    EXPECT_EQ(run({11, 11, 4}, {INT_MIN, -1}), INT_MIN);          // INT_MIN / -1
    EXPECT_EQ(run({11, 11, 7}, {INT_MIN, -1}), -1);               // |-1| < 2: left alone
    EXPECT_EQ(run({11, 11, 7}, {5, INT_MIN}), 5);                 // 5 mod 2^31
    EXPECT_EQ(run({11, 2}, {INT_MAX}), -2);                       // 2 INT_MAX
    EXPECT_EQ(run({11, 11, 2}, {INT_MAX, 1}), INT_MIN);           // INT_MAX + 1
    EXPECT_EQ(run({11, 11, 5}, {INT_MAX, INT_MIN}), 1);           // INT_MIN - INT_MAX
    EXPECT_EQ(run({11, 11, 3}, {INT_MAX, INT_MAX}), 609);         // INT_MAX^2 mod 1000
    EXPECT_EQ(run({11, 16}, {INT_MIN}), 904);                     // 2^62 mod 1000
    EXPECT_EQ(run({11, 11, 9}, {INT_MIN, INT_MIN}), INT_MIN / 2); // (t + s) / 4
    EXPECT_EQ(run({11, 14}, {INT_MIN}), 46340);                   // sqrt 2^31
    EXPECT_EQ(run({11, 15}, {INT_MIN}), 21);                      // ln 2^31
    const int noise = run({11, 12}, {INT_MIN});
    EXPECT_GE(noise, 0);
    EXPECT_EQ(pattern.Stack().Size(), 2);
    // The final |t| mod S of INT_MIN.
    Load(pattern, {11});
    pattern.SetConstant(0, INT_MIN);
    EXPECT_FLOAT_EQ(Value(pattern, {0.0f, 0.0f}), 0.648f);
}

TEST(PatternInt, FlatProgramsAreRedrawnAndTheThirtySecondStays) {
    Random rng(11);
    PatternInt flat(rng, Scaled(1)); // every value is 0 mod 1
    flat.Randomize(2, 1, false, 2);
    EXPECT_TRUE(flat.IsRandomized());
    EXPECT_EQ(flat.Tries(), PatternInt::kMaxTries);

    RefusingGate gate;
    PatternContext context = Scaled(1);
    context.gate = &gate;
    PatternInt stopped(rng, context);
    stopped.Randomize(2, 1, false, 2);
    EXPECT_FALSE(stopped.IsRandomized());
    EXPECT_EQ(stopped.Tries(), 1);
}

TEST(PatternInt, UnsizedSceneScalesByOne) {
    Random rng(2);
    PatternInt pattern(rng, Scaled(0));
    EXPECT_EQ(pattern.Scale(), 1);
    pattern.Randomize(2, 1, false, 2);
    EXPECT_EQ(Value(pattern, {0.5f, 0.5f}), 0.0f);
}

// Thousands of programs of both kinds, sampled over the plane (and beyond it): the stack
// stays within its capacity and values stay in range. The sanitizer run checks the
// arithmetic of every op on the way.
TEST(PatternExpressionSeeds, StacksStayWithinCapacityAndValuesInRange) {
    FloatArray in(2);
    FloatArray out(1);
    for (int seed = 1; seed <= 3000; ++seed) {
        Random rng(seed);
        PatternInt integer(rng, Scaled(64 + seed % 2000));
        integer.Randomize(2, 1, false, 2);
        PatternFloat real(rng, PatternContext{});
        real.Randomize(1 + seed % 2, 1, false, 2);
        ASSERT_LE(integer.Length(), PatternInt::kCapacity);
        ASSERT_LE(real.Length(), PatternFloat::kCapacity);
        for (int i = 0; i < 6; ++i) {
            for (int j = 0; j < 6; ++j) {
                in = {i / 2.5f - 1.2f, j / 2.5f - 1.2f};
                integer.Calculate(in, out);
                ASSERT_GE(out[0], 0.0f);
                ASSERT_LT(out[0], 1.0f);
                real.Calculate(in, out);
                ASSERT_GE(out[0], 0.0f) << "seed " << seed;
                ASSERT_LE(out[0], 1.0f) << "seed " << seed;
            }
        }
        ASSERT_LE(integer.Stack().Peak(), PatternInt::kCapacity);
        ASSERT_LE(real.Stack().Peak(), PatternFloat::kCapacity);
    }
}
