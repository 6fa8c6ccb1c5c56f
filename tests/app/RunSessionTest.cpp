#include "app/RunSession.h"

#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"
#include "host/offscreen/OffscreenHost.h"
#include "scene/SceneWnd.h"
#include "support/KeptStore.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kWidth = 32;
constexpr int kHeight = 24;

// A full-screen run on a store without a frame-rate record: it paints `paints` times and,
// when told to, lets a started speed test end before the run does.
void FirstRun(MemoryProfileStore& backing, int paints, bool waitForTest) {
    OffscreenHost host(kWidth, kHeight, 1);
    RunSession session(ModeSaver, 1, std::make_unique<KeptStore>(backing));
    ASSERT_TRUE(session.Open(std::make_unique<CSceneWnd>(host), kWidth, kHeight, false));
    if (!session.GLReady())
        GTEST_SKIP() << "no off-screen GL";
    EXPECT_TRUE(session.Settings().NeedsSpeedTest());
    for (int i = 0; i < paints; ++i) {
        host.SetFrameLimit(host.FramesSwapped() + 1);
        session.Wnd().OnPaint();
    }
    ASSERT_EQ(host.FramesSwapped() > 0, paints > 0);
    EXPECT_EQ(session.Settings().NeedsSpeedTest(), paints == 0) << "the first frame starts it";
    if (waitForTest)
        session.WaitForSpeedTest();
}

} // namespace

TEST(RunSession, FirstRunTimesTheMachineOnceItsFirstFrameIsUp) {
    MemoryProfileStore unshown;
    FirstRun(unshown, 0, false);
    EXPECT_EQ(unshown.ReadInt("FramesPerSecond", -1), -1) << "no frame, no test, no record";

    MemoryProfileStore timed;
    FirstRun(timed, 2, true);
    if (testing::Test::IsSkipped())
        return;
    // The record a speed test leaves: its score and the budget of that score.
    const int fps = timed.ReadInt("FramesPerSecond", -1);
    EXPECT_GE(fps, 1);
    EXPECT_LE(fps, RegSettings::MaxFramesPerSecond);
    EXPECT_EQ(timed.ReadInt("Polygons", -1), 2500 * fps / 25);
}
