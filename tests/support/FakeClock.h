#pragma once

#include "core/tvTimer.h"

#include <cstdint>

// A clock the test moves by hand, installed for the life of the object. The counter runs in
// microseconds, so truncation to whole milliseconds shows.
class FakeClock : public tvClock {
public:
    explicit FakeClock(bool highRes = true) : m_bHighRes(highRes) { tvTimer::SetClock(this); }
    ~FakeClock() override { tvTimer::SetClock(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void AdvanceUs(std::int64_t us) { m_Us += us; }
    void AdvanceMs(std::int64_t ms) { m_Us += ms * 1000; }
    // Every reading first moves the clock on by this much, so two readings are this far apart.
    void SetStepMs(std::int64_t ms) { m_StepUs = ms * 1000; }
    mutable int counterReads = 0;

    bool Frequency(std::int64_t& ticksPerSecond) const override {
        ticksPerSecond = 1000000;
        return m_bHighRes;
    }
    std::int64_t Counter() const override {
        ++counterReads;
        m_Us += m_StepUs;
        return m_Us;
    }
    int Clock() const override {
        m_Us += m_StepUs;
        return static_cast<int>(m_Us / 1000);
    }

private:
    bool m_bHighRes;
    mutable std::int64_t m_Us = 5000000;
    std::int64_t m_StepUs = 0;
};
