#pragma once

#include "core/Random.h"

#include <algorithm>
#include <array>
#include <cstddef>

// The drawn program of a stack calculator: op codes run in order, at most Capacity of them.
// Ops 0 and 1 push x and y; ops from 2 up to the calculator's own limit combine the stack.
template <int Capacity> class OpProgram {
public:
    // Every op 0 (push x), length of them to run.
    void Clear(int length) {
        m_Ops.fill(0);
        m_Length = std::clamp(length, 0, Capacity);
    }
    void Set(const int* ops, int length) {
        Clear(length);
        std::copy(ops, ops + m_Length, m_Ops.begin());
    }

    // Both inputs as the first two ops, in a drawn order.
    void DrawInputOrder(Random& rng) {
        const bool xFirst = rng.flip() == 1;
        m_Ops[0] = xFirst ? 0 : 1;
        m_Ops[1] = xFirst ? 1 : 0;
    }
    // Ops from position first to the end, each one of the first kinds op codes.
    void DrawOps(Random& rng, int first, int kinds) {
        for (int position = first; position < m_Length; ++position)
            m_Ops[Index(position)] = rng.below(kinds);
    }
    // Folds what a run leaves on a stack of that depth with drawn combining ops (codes from 2,
    // combining kinds of them), as far as the program has room.
    void Fold(Random& rng, int depth, int combining) {
        for (; depth > 1 && m_Length < Capacity; --depth)
            m_Ops[Index(m_Length++)] = rng.below(combining) + 2;
    }

    int Length() const { return m_Length; }
    int operator[](int position) const { return m_Ops[Index(position)]; }

private:
    static std::size_t Index(int position) { return static_cast<std::size_t>(position); }

    std::array<int, Capacity> m_Ops{};
    int m_Length = 0;
};
