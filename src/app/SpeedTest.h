#pragma once

#include <atomic>
#include <optional>
#include <thread>

// The first-run timing of the machine on a thread of its own, so frames go on meanwhile. A
// stop requested, or the test's end, gives it up; it is joined before it goes.
class SpeedTest {
public:
    SpeedTest() = default;
    ~SpeedTest() { Abandon(); }
    SpeedTest(const SpeedTest&) = delete;
    SpeedTest& operator=(const SpeedTest&) = delete;

    // Starts the timed loop; where no thread can be had it runs here and now.
    void Start();
    bool Started() const { return m_bStarted; }
    // The loop's milliseconds, -1 when it was given up; nothing while it runs or before it
    // started.
    std::optional<int> Result() const;
    // Waits for the loop to end.
    void Wait();
    // Gives a running loop up and waits for its thread.
    void Abandon();

private:
    static constexpr int kRunning = -2;
    std::atomic<bool> m_bAbandon{false};
    std::atomic<int> m_Ms{kRunning};
    bool m_bStarted = false;
    std::thread m_Thread;
};
