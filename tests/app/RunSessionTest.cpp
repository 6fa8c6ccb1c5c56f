#include "app/RunSession.h"

#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"
#include "host/offscreen/OffscreenHost.h"
#include "scene/GLContext.h"
#include "scene/Saver.h"
#include "scene/SceneWnd.h"
#include "support/KeptStore.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

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

// An off-screen window whose paints draw two frames each, so windows take turns.
class TurnHost : public OffscreenHost {
public:
    TurnHost() : OffscreenHost(32, 24) {}
    void MakeCurrent() override {
        OffscreenHost::MakeCurrent();
        SetFrameLimit(FramesSwapped() + 2);
    }
};

std::unique_ptr<ProfileStore> Store() {
    auto store = std::make_unique<MemoryProfileStore>();
    store->SetRaw("FramesPerSecond", "25");
    store->SetRaw("Polygons", "300");
    return store;
}

// The seed of the first window's first scene when it plays alone.
int FirstSceneSeedAlone(TurnHost& host) {
    RunSession session(ModePreview, 9, Store());
    if (!session.Open(std::make_unique<CSceneWnd>(host), 32, 24, true))
        return 0;
    session.PaintAll();
    return session.Wnd().Scene()->Rand().seed();
}

} // namespace

TEST(RunSession, WindowsComeAndGoWhileTheOthersDraw) {
    std::vector<std::unique_ptr<TurnHost>> hosts;
    for (int i = 0; i < 4; ++i)
        hosts.push_back(std::make_unique<TurnHost>());
    int firstSeed = 0;
    {
        RunSession session(ModePreview, 9, Store());
        if (!session.Open(std::make_unique<CSceneWnd>(*hosts[0]), 32, 24, true))
            GTEST_SKIP() << "no off-screen GL";
        CSceneWnd* second = session.Add(std::make_unique<CSceneWnd>(*hosts[1]), 32, 24, true);
        ASSERT_NE(second, nullptr);
        ASSERT_NE(session.Add(std::make_unique<CSceneWnd>(*hosts[2]), 32, 24, true), nullptr);
        ASSERT_EQ(session.WindowCount(), 3u);
        for (int round = 0; round < 3; ++round)
            EXPECT_TRUE(session.PaintAll());
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(hosts[i]->FramesSwapped(), 6) << i;
            ASSERT_NE(session.Wnd(i).Scene(), nullptr) << i;
        }
        firstSeed = session.Wnd(0).Scene()->Rand().seed();
        EXPECT_NE(session.Wnd(1).Scene()->Rand().seed(), firstSeed);

        // One goes, one comes later; the others draw on in their own contexts.
        session.Close(*second);
        ASSERT_EQ(session.WindowCount(), 2u);
        ASSERT_NE(session.Add(std::make_unique<CSceneWnd>(*hosts[3]), 32, 24, true), nullptr);
        const int before[] = {hosts[0]->FramesSwapped(), hosts[2]->FramesSwapped()};
        for (int round = 0; round < 2; ++round)
            session.PaintAll();
        EXPECT_GT(hosts[0]->FramesSwapped(), before[0]);
        EXPECT_GT(hosts[2]->FramesSwapped(), before[1]);
        EXPECT_GE(hosts[3]->FramesSwapped(), 4);
    }
    // The first window played what it plays alone.
    EXPECT_EQ(FirstSceneSeedAlone(*hosts[0]), firstSeed);
}

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
