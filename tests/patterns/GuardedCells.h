#pragma once

#include "core/DrawGate.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

// Cells of a width x height canvas with guard bytes on both sides, to see any write that
// lands outside the array.
class GuardedCells {
public:
    static constexpr unsigned char kGuard = 0xA5;
    static constexpr std::size_t kGuardSize = 64;

    GuardedCells(int width, int height, unsigned char start = 0)
        : m_Width(width), m_Bytes(2 * kGuardSize + Count(width, height), kGuard) {
        std::fill_n(m_Bytes.begin() + kGuardSize, Count(width, height), start);
    }

    std::span<unsigned char> Cells() {
        return {m_Bytes.data() + kGuardSize, m_Bytes.size() - 2 * kGuardSize};
    }
    unsigned char At(int x, int y) const {
        return m_Bytes[kGuardSize + static_cast<std::size_t>(x + y * m_Width)];
    }
    bool GuardsIntact() const {
        const auto intact = [](unsigned char b) { return b == kGuard; };
        return std::all_of(m_Bytes.begin(), m_Bytes.begin() + kGuardSize, intact) &&
               std::all_of(m_Bytes.end() - kGuardSize, m_Bytes.end(), intact);
    }
    // Every cell is 0 or 1.
    bool CellsOnOff() {
        const auto c = Cells();
        return std::all_of(c.begin(), c.end(), [](unsigned char b) { return b <= 1; });
    }
    int InkCount() {
        const auto c = Cells();
        return static_cast<int>(std::count(c.begin(), c.end(), 1));
    }

private:
    static std::size_t Count(int width, int height) {
        return static_cast<std::size_t>(std::max(width, 0)) *
               static_cast<std::size_t>(std::max(height, 0));
    }

    int m_Width;
    std::vector<unsigned char> m_Bytes;
};

// A gate that answers from a script, then keeps giving its last answer.
class ScriptedGate : public DrawGate {
public:
    explicit ScriptedGate(std::vector<bool> answers) : m_Answers(std::move(answers)) {}
    bool CanDraw() override {
        ++calls;
        if (m_Answers.empty())
            return true;
        const bool answer = m_Answers.front();
        if (m_Answers.size() > 1)
            m_Answers.erase(m_Answers.begin());
        return answer;
    }
    int calls = 0;

private:
    std::vector<bool> m_Answers;
};
