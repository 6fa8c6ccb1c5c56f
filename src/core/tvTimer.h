#pragma once

#include <cstdint>

// Where tvTimer reads the time. The default is the monotonic steady clock; tests install
// their own so that intervals can be checked without waiting.
class tvClock {
public:
    virtual ~tvClock() = default;
    // Counter ticks per second; false when the machine has no high-resolution counter.
    virtual bool Frequency(std::int64_t& ticksPerSecond) const = 0;
    virtual std::int64_t Counter() const = 0;
    // Coarse fallback reading, one unit per millisecond.
    virtual int Clock() const = 0;
};

// Measures short intervals in whole milliseconds (truncated, so less than 1 ms reads 0).
// The monotonic clock always has a counter, so the fallback to Clock() only runs with a test
// clock that reports none.
class tvTimer {
public:
    tvTimer() : tvTimer(0) {}
    explicit tvTimer(std::int64_t periodMs) { Init(periodMs); }
    virtual ~tvTimer() = default;

    void Init(std::int64_t periodMs);
    // Milliseconds since the last reset; restarts the interval.
    int Elapsed();
    // True, restarting the interval, once more than the period has passed since the last
    // reset; otherwise false and the reference point stays.
    bool Expired();
    // Milliseconds since the last reset, leaving the reference point alone.
    int Peek() const;
    void Reset();

    std::int64_t Period() const { return m_Period; }

    // nullptr restores the steady clock. The clock must outlive every timer reading it.
    static void SetClock(const tvClock* clock);

private:
    std::int64_t SinceLast(std::int64_t& now) const;

    std::int64_t m_TicksPerMs = 1;
    std::int64_t m_Last = 0;
    std::int64_t m_Period = 0;
    bool m_bHighRes = true;
    int m_LastClock = 0;
    int m_PeriodClock = 0;
};

// Serves every timer from clock while it lives, then the steady clock again.
class ScopedTimerClock {
public:
    explicit ScopedTimerClock(const tvClock& clock) { tvTimer::SetClock(&clock); }
    ~ScopedTimerClock() { tvTimer::SetClock(nullptr); }
    ScopedTimerClock(const ScopedTimerClock&) = delete;
    ScopedTimerClock& operator=(const ScopedTimerClock&) = delete;
};
