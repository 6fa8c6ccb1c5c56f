// gtest first: the X headers define macros (None, Bool) that its templates use as names.
#include <gtest/gtest.h>

#include "host/posix/SignalPipe.h"
#include "host/x11/SuspendClock.h"
#include "host/x11/X11Host.h"

#include <chrono>
#include <csignal>

// Raw readings in nanoseconds; the second argument counts continues after a stop.
TEST(SuspendClock, TakesOutTheTimeSpentStopped) {
    SuspendClock clock;
    EXPECT_EQ(clock.Advance(1000, 0), 1000);
    EXPECT_EQ(clock.Advance(3000, 0), 3000);
    // Stopped after the reading at 3000, continued, next reading at 10000: 7000 taken out.
    EXPECT_EQ(clock.Advance(10000, 1), 3000);
    EXPECT_EQ(clock.Advance(10500, 1), 3500);
    EXPECT_EQ(clock.Stopped(), 7000);
    // Two stops noticed at one reading count once.
    EXPECT_EQ(clock.Advance(20500, 3), 3500);
    EXPECT_EQ(clock.Advance(21000, 3), 4000);
}

TEST(SignalPipe, EndingSignalSetsTheFlagAndWakesAWait) {
    const SignalPipe signals;
    ASSERT_TRUE(signals.IsOk());
    EXPECT_FALSE(SignalPipe::Terminated());
    const unsigned long continues = SignalPipe::Continues();
    raise(SIGCONT);
    EXPECT_EQ(SignalPipe::Continues(), continues + 1);
    EXPECT_FALSE(SignalPipe::Terminated());

    raise(SIGTERM);
    EXPECT_TRUE(SignalPipe::Terminated());
    EXPECT_EQ(SignalPipe::TerminatingSignal(), SIGTERM);

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        GTEST_SKIP() << "no X display";
    {
        const SuspendClock clock;
        X11Host::Options options;
        options.kind = X11Host::Kind::TopLevel;
        X11Host host(display, signals, clock, options);
        EXPECT_TRUE(host.InputPending());
        // Would block for a minute if the signal did not count as input.
        const auto start = std::chrono::steady_clock::now();
        host.WaitForInput(60000);
        host.WaitForEvent(-1);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    }
    XCloseDisplay(display);
}
