#pragma once

#include "core/tvTimer.h"

#include <cstdint>

// The monotonic clock less the time the process spent stopped (SIGSTOP, then SIGCONT, as a
// screen-saver daemon does while the monitor sleeps), so a burst of frames that spans a stop
// is not measured as a slow one. A stop is noticed at the first reading after SIGCONT: the
// time since the previous reading or Touch() is taken as stopped. The host touches the clock
// whenever it is asked for input, so the error is at most one step of the engine's work (a
// frame, or one wait of at most a frame period).
class SuspendClock : public tvClock {
public:
    bool Frequency(std::int64_t& ticksPerSecond) const override;
    std::int64_t Counter() const override;
    int Clock() const override;

    // Notes that the process is running now.
    void Touch() const;

    // Nanoseconds taken out so far.
    std::int64_t Stopped() const { return m_Stopped; }

    // For tests: the raw reading and the continue count are passed in.
    std::int64_t Advance(std::int64_t raw, unsigned long continues) const;

private:
    mutable std::int64_t m_LastAlive = -1;
    mutable std::int64_t m_Stopped = 0;
    mutable unsigned long m_SeenContinues = 0;
};
