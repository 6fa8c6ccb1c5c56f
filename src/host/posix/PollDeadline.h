#pragma once

#include <chrono>
#include <cmath>

// A wait of at most ms milliseconds (-1: none) that may poll several times: each poll takes
// the time left, rounded up so that a poll never returns just before the deadline.
class PollDeadline {
public:
    using Clock = std::chrono::steady_clock;

    explicit PollDeadline(int ms)
        : m_bBounded(ms >= 0), m_End(Clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms)) {}

    // False once a bounded wait has run out; else timeout is the poll's milliseconds
    // (-1 when unbounded).
    bool Left(int& timeout) const {
        timeout = -1;
        if (!m_bBounded)
            return true;
        const std::chrono::duration<double, std::milli> left = m_End - Clock::now();
        if (left.count() <= 0)
            return false;
        timeout = static_cast<int>(std::ceil(left.count()));
        return true;
    }

private:
    bool m_bBounded;
    Clock::time_point m_End;
};
