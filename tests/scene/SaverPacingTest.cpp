#include "scene/SaverShapes.h"

#include "app/SaverApp.h"
#include "core/MemoryProfileStore.h"
#include "core/tvTimer.h"
#include "host/offscreen/OffscreenHost.h"
#include "scene/GLContext.h"
#include "scene/SceneWnd.h"
#include "support/ShapeDoubles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Milliseconds that pass only when the host waits.
class WaitClock : public tvClock {
public:
    bool Frequency(std::int64_t& ticksPerSecond) const override {
        ticksPerSecond = 1000;
        return true;
    }
    std::int64_t Counter() const override { return m_Now; }
    int Clock() const override { return static_cast<int>(m_Now); }

    std::int64_t m_Now = 1000;
};

// An off-screen host that paces like a window: each wait lets its time pass on the clock
// (or a longer time, for a slow machine), and input arrives during a chosen wait, waking it
// after 5 ms.
class PacedHost : public OffscreenHost {
public:
    PacedHost(WaitClock& clock, int inputOnWait, int waitMs)
        : OffscreenHost(32, 32), m_pClock(&clock), m_InputOnWait(inputOnWait), m_WaitMs(waitMs) {}

    bool PacesFrames() const override { return true; }
    bool InputPending() override { return m_bInput; }
    void WaitForInput(int ms) override {
        waits.push_back(ms);
        if (static_cast<int>(waits.size()) == m_InputOnWait) {
            m_bInput = true;
            m_pClock->m_Now += 5;
        } else {
            m_pClock->m_Now += std::max(ms, m_WaitMs);
        }
    }
    void SwapBuffers() override {
        OffscreenHost::SwapBuffers();
        waitsBeforeSwap.push_back(static_cast<int>(waits.size()));
    }

    std::vector<int> waits;
    // For each swap, how many waits came before it.
    std::vector<int> waitsBeforeSwap;

private:
    WaitClock* m_pClock;
    int m_InputOnWait;
    int m_WaitMs;
    bool m_bInput = false;
};

FrameLog gLog;

std::unique_ptr<Shape> MakeShape(Random& rng, const MotionContext&, const std::vector<int>*) {
    return std::make_unique<LoggingShape>(rng, gLog, 1);
}

class SaverPacingTest : public ::testing::Test {
protected:
    // The application goes before the host it draws through.
    void TearDown() override {
        gApp.Shutdown();
        host.reset();
        tvTimer::SetClock(nullptr);
    }

    // Draws one burst of a one-shape scene, with input arriving during the given wait; with
    // shownBefore the window has already put a frame on screen (a later scene of the run).
    int Burst(int inputOnWait, int waitMs = 0, bool shownBefore = false) {
        host = std::make_unique<PacedHost>(clock, inputOnWait, waitMs);
        auto store = std::make_unique<MemoryProfileStore>();
        store->SetRaw("FramesPerSecond", "25");
        store->SetRaw("Speed", "95"); // scenes of 150 frames
        gApp.Init(ModePreview, 5, std::move(store));
        auto owned = std::make_unique<CSceneWnd>(*host);
        CSceneWnd& wnd = *owned;
        gApp.InstallSceneWnd(std::move(owned));
        wnd.OnCreate();
        wnd.OnSize(32, 32);
        if (wnd.GL() == nullptr || !wnd.GL()->IsOk())
            return -1;
        if (shownBefore)
            wnd.SwapBuffers();
        swapsBefore = host->FramesSwapped();
        tvTimer::SetClock(&clock);
        SaverShapes scene(wnd.NextScene(), &MakeShape);
        scene.Frame();
        return scene.frameNumber();
    }

    WaitClock clock;
    std::unique_ptr<PacedHost> host;
    int swapsBefore = 0;
};

TEST_F(SaverPacingTest, EachFrameWaitsOnceForTheRestOfItsPeriod) {
    const int frames = Burst(4, 0, true);
    ASSERT_GE(frames, 0) << "no off-screen GL";
    // Drawing takes no time on this clock: every frame waits the whole period, and the
    // timer fires once more than 40 ms have passed.
    ASSERT_EQ(host->waits.size(), 4u);
    EXPECT_EQ(host->waits[0], 41);
    EXPECT_EQ(host->waits[1], 41);
    EXPECT_EQ(host->waits[2], 41);
    // Input during the fourth wait ends the burst with that frame.
    EXPECT_EQ(frames, 4);
    // Four frames, an even number: no extra swap.
    EXPECT_EQ(host->FramesSwapped() - swapsBefore, 4);
}

TEST_F(SaverPacingTest, RunsFirstFrameGoesUpAtOnceAndTheSecondKeepsThePace) {
    const int frames = Burst(4);
    ASSERT_GE(frames, 0) << "no off-screen GL";
    // The first swap comes before any wait; every later frame waits its whole period, the
    // second one counted from the first swap.
    ASSERT_GE(host->waitsBeforeSwap.size(), 2u);
    EXPECT_EQ(host->waitsBeforeSwap[0], 0);
    EXPECT_EQ(host->waitsBeforeSwap[1], 1);
    ASSERT_EQ(host->waits.size(), 4u);
    for (const int wait : host->waits)
        EXPECT_EQ(wait, 41);
    // Input during the fourth wait ends the burst with the fifth frame; an odd count gets
    // the extra swap.
    EXPECT_EQ(frames, 5);
    EXPECT_EQ(host->FramesSwapped(), 6);
}

TEST_F(SaverPacingTest, SceneTooSlowForItsFirstHundredFramesIsAbandoned) {
    // 121 ms a frame: frame 100 comes 12.1 s after the scene was composed (a later scene,
    // whose first frame waits too).
    int frames = Burst(0, 121, true);
    ASSERT_GE(frames, 0) << "no off-screen GL";
    EXPECT_EQ(frames, 101);
    TearDown();
    // 119 ms a frame: within the limit, the scene plays on to its end (frames 0 .. 151).
    frames = Burst(0, 119, true);
    EXPECT_EQ(frames, 152);
}

} // namespace
