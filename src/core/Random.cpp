#include "core/Random.h"

#include <cstdlib>
#include <ctime>

Random::Random() {
    seedFromTime();
}

Random::Random(int seed) {
    setSeed(seed);
}

void Random::seedFromTime() {
    setSeed(static_cast<int>(std::time(nullptr)));
}

void Random::setSeed(int seed) {
    m_Seed = seed;
    // |INT_MIN| does not fit an int; its magnitude taken as unsigned keeps the remainder exact.
    const unsigned magnitude =
        seed < 0 ? 0u - static_cast<unsigned>(seed) : static_cast<unsigned>(seed);
    long long mj = (static_cast<long long>(MSEED) - magnitude) % MBIG;
    if (mj < 0)
        mj += MBIG;
    m_Table[55] = static_cast<int>(mj);
    int mk = 1;
    for (int i = 1; i <= 54; ++i) {
        const int ii = (21 * i) % 55;
        m_Table[ii] = mk;
        mk = static_cast<int>(mj) - mk;
        if (mk < 0)
            mk += MBIG;
        mj = m_Table[ii];
    }
    for (int round = 0; round < 4; ++round) {
        for (int i = 1; i <= 55; ++i) {
            m_Table[i] -= m_Table[1 + (i + 30) % 55];
            if (m_Table[i] < 0)
                m_Table[i] += MBIG;
        }
    }
    m_Inext = 0;
    m_Inextp = 31;
}

int Random::next() {
    if (++m_Inext >= 56)
        m_Inext = 1;
    if (++m_Inextp >= 56)
        m_Inextp = 1;
    int mj = m_Table[m_Inext] - m_Table[m_Inextp];
    if (mj < 0)
        mj += MBIG;
    m_Table[m_Inext] = mj;
    return mj;
}

double Random::uniform() {
    return next() * 1e-9;
}

double Random::symmetric() {
    return 2.0 * uniform() - 1.0;
}

int Random::flip() {
    return below(2);
}

int Random::below(int n) {
    return static_cast<int>(uniform() * n);
}

int Random::skewed(int n, int bias) {
    if (bias == 0)
        bias = 1;
    int k = below(n);
    for (int i = 1; i < std::abs(bias); ++i)
        k = below(k + 1);
    return bias > 0 ? k : n - 1 - k;
}
