#include "scene/SceneWnd.h"

#include "app/SaverApp.h"
#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"
#include "host/offscreen/OffscreenHost.h"
#include "scene/GLContext.h"
#include "scene/Saver.h"
#include "shapes/Primitives.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

TEST(SceneWnd, FirstPaintStartsASceneAfterTwoApplicationDraws) {
    TestApp::Options options;
    options.seed = 77;
    TestApp app(options);
    ASSERT_TRUE(app.HasGL());
    CSceneWnd& wnd = app.Wnd();
    EXPECT_FALSE(wnd.HasImages());

    wnd.OnPaint();
    ASSERT_NE(wnd.Scene(), nullptr);
    EXPECT_EQ(wnd.OverallCount(), 1u);
    const int swapped = app.Host().FramesSwapped();
    EXPECT_GE(swapped, 1);
    EXPECT_TRUE(wnd.NeedsPaint());
    // The generator's raw draws: colour table, GL context, then the first paint's table
    // index and darkening factor; the scene is seeded with the fifth. (Independently
    // computed from the generator's definition.)
    EXPECT_EQ(wnd.Scene()->Rand().seed(), 472481200);

    // Input is waiting now: the next paint keeps the scene and draws nothing.
    Saver* scene = wnd.Scene();
    wnd.OnPaint();
    EXPECT_EQ(wnd.Scene(), scene);
    EXPECT_EQ(wnd.OverallCount(), 1u);
    EXPECT_EQ(app.Host().FramesSwapped(), swapped);
}

TEST(SceneWnd, BlankingAfterZeroMinutesHappensOnTheFirstPaint) {
    TestApp::Options options;
    options.configure = [](MemoryProfileStore& store) {
        store.SetRaw("BlankScreen", "1");
        store.SetRaw("BlankMinutes", "0");
    };
    TestApp app(options);
    ASSERT_TRUE(app.HasGL());
    CSceneWnd& wnd = app.Wnd();
    wnd.OnPaint();
    EXPECT_TRUE(wnd.IsBlanked());
    EXPECT_EQ(wnd.Scene(), nullptr);
    EXPECT_FALSE(wnd.NeedsPaint());
    EXPECT_EQ(wnd.GL()->Solids().CachedListCount(), 0);
    ASSERT_EQ(app.Host().FramesSwapped(), 1);
    const auto& frame = app.Host().LastFrame();
    ASSERT_EQ(frame.size(), 64u * 48u * 3u);
    EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](unsigned char b) { return b == 0; }));
}

TEST(SceneWnd, PrimitiveCacheIsFlushedEverySixtyFirstScenes) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    CSceneWnd& wnd = app.Wnd();
    // After the first burst input is waiting, so these paints only make scenes.
    for (unsigned count = 1; count <= 62; ++count) {
        wnd.FreeScene(); // every paint takes the first-paint path
        wnd.GL()->Solids().SolidCube(0.25);
        wnd.OnPaint();
        ASSERT_EQ(wnd.OverallCount(), count);
        if (count == 61)
            EXPECT_EQ(wnd.GL()->Solids().CachedListCount(), 0);
        else
            EXPECT_GT(wnd.GL()->Solids().CachedListCount(), 0) << count;
    }
}

TEST(SceneWnd, MissingContextAsksToClose) {
    // A window whose context could not be made draws nothing and asks to close.
    OffscreenHost host(0, 0, 1);
    CSceneWnd wnd(host);
    wnd.OnPaint();
    EXPECT_TRUE(host.CloseRequested());
    EXPECT_EQ(host.FramesSwapped(), 0);
}

TEST(SceneWnd, FirstSceneListsThePhotographsOfTheFolders) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "kinetora-scenewnd-images";
    std::filesystem::create_directories(dir);
    for (const char* name : {"b.png", "a.jpg", "notes.txt"})
        std::ofstream(dir / name) << "not a picture";
    {
        TestApp::Options options;
        options.configure = [&](MemoryProfileStore& store) {
            store.WriteFolders(dir.string() + "*");
            store.SetRaw("ImageOrder", "1");
        };
        TestApp app(options);
        ASSERT_TRUE(app.HasGL());
        CSceneWnd& wnd = app.Wnd();
        EXPECT_FALSE(wnd.HasImages());
        wnd.OnPaint();
        ASSERT_EQ(wnd.Images().size(), 2u);
        EXPECT_EQ(std::filesystem::path(wnd.Images()[0]).filename(), "a.jpg");
        EXPECT_EQ(std::filesystem::path(wnd.Images()[1]).filename(), "b.png");

        // Alphabetical order walks the list and keeps the position in the settings.
        const int next = app.Settings().ImageNext();
        const std::string first = wnd.NextImagePath();
        EXPECT_EQ(first, wnd.Images()[static_cast<size_t>(std::min(next, 1))]);
        EXPECT_EQ(app.Settings().ImageNext(), (next + 1) % 2);
        EXPECT_NE(wnd.NextImagePath(), first);
    }
    std::filesystem::remove_all(dir);
}
