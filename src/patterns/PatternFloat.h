#pragma once

#include "patterns/OpProgram.h"
#include "patterns/PatternCalculator.h"
#include "patterns/tvVectorStack.h"

#include <array>

// A random program of smooth operators on a stack of floats, run once per point. Every
// program starts with a push and no operator empties the stack, so a run ends with a value.
class PatternFloat : public PatternCalculator {
public:
    static constexpr int kCapacity = 10; // program length and stack depth
    static constexpr int kMaxTries = 32; // the last program drawn stays, flat or not

    PatternFloat(Random& rng, const PatternContext& context);

    // Draws programs until one gives more than 2 * inputs distinct values on the sample
    // grid, kMaxTries in all, or until the gate says stop (then not randomized). inputs 1
    // samples x alone; anything else samples the plane.
    void Randomize(int inputs, int outputs, bool regular, int bias) override;
    // Output 0 := top * 0.5 + 0.5; y is x when only one coordinate is given.
    void Calculate(const FloatArray& inputs, FloatArray& outputs) override;
    int Channels(int) const override { return 1; }

    // Installs a program as drawn (ops 0..15, length 1..kCapacity), for tests and tools.
    void SetProgram(const int* ops, int length) { m_Program.Set(ops, length); }
    int Length() const { return m_Program.Length(); }
    int Op(int position) const { return m_Program[position]; }
    int Tries() const { return m_Tries; }
    const tvVectorStack<float>& Stack() const { return m_Stack; }

private:
    float Run(float x, float y);
    void Execute(int position, float x, float y);
    int DistinctSamples(int inputs);

    OpProgram<kCapacity> m_Program;
    tvVectorStack<float> m_Stack{kCapacity};
    std::array<float, kCapacity> m_Constants{};
    std::array<float, kCapacity> m_Frequencies{};
    int m_Tries = 0;
    float m_Cx = 0.0f;
    float m_Cy = 0.0f;
    float m_Norm = 0.0f; // sqrt 8, the longest distance within [-1, 1]^2
};
