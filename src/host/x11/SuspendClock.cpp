#include "host/x11/SuspendClock.h"

#include "host/posix/SignalPipe.h"

#include <ctime>

namespace {

std::int64_t RawNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

bool SuspendClock::Frequency(std::int64_t& ticksPerSecond) const {
    ticksPerSecond = 1000000000;
    return true;
}

std::int64_t SuspendClock::Counter() const {
    return Advance(RawNanoseconds(), SignalPipe::Continues());
}

int SuspendClock::Clock() const {
    return static_cast<int>(Counter() / 1000000);
}

void SuspendClock::Touch() const {
    Advance(RawNanoseconds(), SignalPipe::Continues());
}

std::int64_t SuspendClock::Advance(std::int64_t raw, unsigned long continues) const {
    if (continues != m_SeenContinues) {
        if (m_LastAlive >= 0 && raw > m_LastAlive)
            m_Stopped += raw - m_LastAlive;
        m_SeenContinues = continues;
    }
    m_LastAlive = raw;
    return raw - m_Stopped;
}
