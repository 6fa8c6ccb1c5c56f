#pragma once

#include "patterns/Complex.h"
#include "patterns/PatternCalculator.h"

// An escape-time Julia set z -> z^2 + c over a random window of the plane. Randomize
// searches constants and windows until the escape counts of a 4 x 4 sample are varied
// enough; optional orbit traps and twists colour points by properties of the orbit instead.
class PatternFractal : public PatternCalculator {
public:
    static constexpr int kAttemptsBeforeAnyIsTaken = 1000;

    PatternFractal(Random& rng, const PatternContext& context);

    // Uses only regular (no angle colouring). Gives up at once, unrandomized but with the
    // last parameters drawn, when the gate says stop; accepts whatever it drew on the
    // attempt after kAttemptsBeforeAnyIsTaken.
    void Randomize(int inputs, int outputs, bool regular, int bias) override;
    // Output 0 := Iterate(x, y, true) / (N - 1), in [0, 1]; 0 before Randomize.
    void Calculate(const FloatArray& inputs, FloatArray& outputs) override;
    int Channels(int) const override { return 1; }

    // Escape count 0 .. N - 1 of the point (x, y) of [-1, 1]^2; with twist, recoloured by
    // the angle and the orbit traps that are on.
    int Iterate(float x, float y, bool twist) const;

    // The orbit point w after twist kind 0..10 (1 square, 2 sin, 3 cos, 4 log unless 0,
    // 5 principal root, 6 minus trunc, 7 trunc(w + 1/2), 8 minus rounded half away from
    // 0, 9 minus floor, 10 minus ceil); any other kind leaves w alone.
    static Complex Twist(int kind, Complex w);

    // What a search settles on. The window maps a point (x, y) of [-1, 1]^2 to the complex
    // plane as (x scaleX + offsetX, y scaleY + offsetY).
    struct Parameters {
        int colours = 0;    // N: escape counts run 0 .. N - 1; taken at randomization
        float limit = 4.0f; // escape when the squared magnitude reaches it
        Complex c;
        float scaleX = 1.0f;
        float offsetX = 0.0f;
        float scaleY = 1.0f;
        float offsetY = 0.0f;
        bool angle = false;          // colour by the angle of the last orbit point
        bool leastNorm = false;      // orbit trap: least squared magnitude
        bool leastImaginary = false; // orbit trap: least |imaginary part|
        int twist = 0;               // 0..10, 0 none
    };
    const Parameters& Params() const { return m_P; }
    // Installs parameters as a search would leave them (marks the calculator randomized),
    // for tests and tools.
    void SetParameters(const Parameters& parameters);
    int Attempts() const { return m_Attempts; } // of the last search

private:
    // One attempt's draws (a to c); false when the gate stopped a redraw loop.
    bool DrawParameters();
    // The 4 x 4 sample of one attempt: true when it passes.
    bool SamplePasses(bool twist, int attempts) const;

    Parameters m_P;
    int m_Attempts = 0;
};
