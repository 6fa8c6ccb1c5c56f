#include "app/RunSession.h"

#include "core/MemoryProfileStore.h"
#include "host/offscreen/OffscreenHost.h"
#include "scene/GLContext.h"
#include "scene/Saver.h"
#include "scene/SceneWnd.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

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
