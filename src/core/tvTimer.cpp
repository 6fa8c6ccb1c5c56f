#include "core/tvTimer.h"

#include <chrono>
#include <limits>

namespace {

class SteadyClock : public tvClock {
public:
    bool Frequency(std::int64_t& ticksPerSecond) const override {
        using Period = std::chrono::steady_clock::period;
        static_assert(Period::num == 1 && Period::den >= 1000, "needs a millisecond clock");
        ticksPerSecond = Period::den;
        return true;
    }
    std::int64_t Counter() const override {
        return std::chrono::steady_clock::now().time_since_epoch().count();
    }
    int Clock() const override {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<int>(ms.count());
    }
};

const SteadyClock gSteadyClock;
const tvClock* gClock = &gSteadyClock;

} // namespace

void tvTimer::SetClock(const tvClock* clock) {
    gClock = clock ? clock : &gSteadyClock;
}

void tvTimer::Init(std::int64_t periodMs) {
    m_Period = periodMs;
    m_PeriodClock = static_cast<int>(periodMs);
    std::int64_t frequency = 0;
    m_bHighRes = gClock->Frequency(frequency) && frequency >= 1000;
    if (m_bHighRes) {
        m_TicksPerMs = frequency / 1000;
        m_Last = gClock->Counter();
    } else {
        m_LastClock = gClock->Clock();
    }
}

std::int64_t tvTimer::SinceLast(std::int64_t& now) const {
    if (m_bHighRes) {
        now = gClock->Counter();
        return (now - m_Last) / m_TicksPerMs;
    }
    now = gClock->Clock();
    // The fallback reading is an int that may wrap; the difference is taken in int.
    return static_cast<int>(static_cast<unsigned>(now) - static_cast<unsigned>(m_LastClock));
}

int tvTimer::Elapsed() {
    std::int64_t now = 0;
    const std::int64_t ms = SinceLast(now);
    if (m_bHighRes)
        m_Last = now;
    else
        m_LastClock = static_cast<int>(now);
    return ms > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                : static_cast<int>(ms);
}

int tvTimer::Peek() const {
    std::int64_t now = 0;
    const std::int64_t ms = SinceLast(now);
    return ms > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                : static_cast<int>(ms);
}

bool tvTimer::Expired() {
    std::int64_t now = 0;
    const std::int64_t ms = SinceLast(now);
    const std::int64_t period = m_bHighRes ? m_Period : m_PeriodClock;
    if (ms <= period)
        return false;
    if (m_bHighRes)
        m_Last = now;
    else
        m_LastClock = static_cast<int>(now);
    return true;
}

void tvTimer::Reset() {
    if (m_bHighRes)
        m_Last = gClock->Counter();
    else
        m_LastClock = gClock->Clock();
}
