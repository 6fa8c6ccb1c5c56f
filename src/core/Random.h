#pragma once

#include <array>

// Knuth's subtractive generator behind every random decision. A fixed seed replays the
// same sequence on every machine: every scene's draws depend on it, so neither the
// arithmetic nor the order of draws may change.
class Random {
public:
    Random(); // seeded from the calendar time in whole seconds
    explicit Random(int seed);
    Random(const Random&) = delete;
    Random& operator=(const Random&) = delete;

    void setSeed(int seed);
    void seedFromTime();
    int seed() const { return m_Seed; }

    int next();                  // raw draw in [0, 999999999]
    double uniform();            // [0, 1): next() * 1e-9, never 1.0
    double symmetric();          // [-1, 1)
    int flip();                  // 0 or 1
    int below(int n);            // [0, n - 1]; n = 0 still draws and gives 0
    int skewed(int n, int bias); // [0, n - 1], leaning to 0 for bias > 0, to n - 1 for bias < 0

    static constexpr int MBIG = 1000000000;
    static constexpr int MSEED = 161803398;

private:
    int m_Inext = 0;
    int m_Inextp = 31;
    std::array<int, 56> m_Table{}; // entries 1..55 are the state; 0 is never read
    int m_Seed = 0;
};
