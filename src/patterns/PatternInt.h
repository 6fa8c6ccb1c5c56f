#pragma once

#include "patterns/OpProgram.h"
#include "patterns/PatternCalculator.h"
#include "patterns/tvVectorStack.h"

#include <array>

// A random program of integer, bitwise and modular operators on a stack of ints, run once
// per point on the point's pixel coordinates: hard-edged, digital-looking patterns.
//
// Arithmetic is sound for every program: each op computes in 64 bits and stores its result
// wrapped to 32 bits (two's complement), so sums, products, negation of INT_MIN and
// INT_MIN / -1 wrap instead of overflowing; division and remainder truncate toward zero.
class PatternInt : public PatternCalculator {
public:
    static constexpr int kCapacity = 22; // program length and stack depth
    static constexpr int kMaxTries = 32; // the last program drawn stays, flat or not

    // The scale S is the context's scene size (at least 1).
    PatternInt(Random& rng, const PatternContext& context);

    // Draws programs until one gives more than 4 distinct values on the 5 x 5 sample grid,
    // kMaxTries in all, or until the gate says stop (then not randomized).
    void Randomize(int inputs, int outputs, bool regular, int bias) override;
    // Output 0 := (|top| mod S) / S, in [0, 1). Op 12 draws from the generator on every run.
    void Calculate(const FloatArray& inputs, FloatArray& outputs) override;
    int Channels(int) const override { return 1; }

    // Installs a program as drawn (ops 0..17, length 1..kCapacity), for tests and tools.
    void SetProgram(const int* ops, int length) { m_Program.Set(ops, length); }
    void SetConstant(int position, int value) {
        m_Constants[static_cast<std::size_t>(position)] = value;
    }
    // Runs the program at pixel (X, Y) and returns what it leaves on top (0 if nothing).
    int Run(int x, int y);

    int Scale() const { return m_Scale; }
    int Length() const { return m_Program.Length(); }
    int Op(int position) const { return m_Program[position]; }
    int Tries() const { return m_Tries; }
    const tvVectorStack<int>& Stack() const { return m_Stack; }

private:
    void Execute(int position, int x, int y);
    int Pixel(float coordinate) const;
    float Value(int top) const;
    int DistinctSamples();

    int m_Scale = 1; // S
    OpProgram<kCapacity> m_Program;
    tvVectorStack<int> m_Stack{kCapacity};
    std::array<int, kCapacity> m_Constants{};
    int m_Tries = 0;
};
