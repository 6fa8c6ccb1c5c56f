#include "app/SpeedTest.h"

#include "core/RegSettings.h"

#include <system_error>

void SpeedTest::Start() {
    if (m_bStarted)
        return;
    m_bStarted = true;
    try {
        m_Thread = std::thread([this] { m_Ms = RegSettings::RunSpeedTest(&m_bAbandon); });
    } catch (const std::system_error&) {
        m_Ms = RegSettings::RunSpeedTest(&m_bAbandon);
    }
}

std::optional<int> SpeedTest::Result() const {
    const int ms = m_Ms;
    if (!m_bStarted || ms == kRunning)
        return std::nullopt;
    return ms;
}

void SpeedTest::Wait() {
    if (m_Thread.joinable())
        m_Thread.join();
}

void SpeedTest::Abandon() {
    m_bAbandon = true;
    Wait();
}
