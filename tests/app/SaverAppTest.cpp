#include "app/SaverApp.h"

#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"
#include "core/tvLibrary.h"
#include "support/KeptStore.h"

#include <gtest/gtest.h>

TEST(SaverApp, OnlyDrawingModesEnterTheLoopAndOnlySaverModeStoresTheRecord) {
    struct Case {
        RunMode mode;
        bool draws;
        bool stores;
    };
    for (const Case c :
         {Case{ModeSaver, true, true}, Case{ModePreview, true, false},
          Case{ModeConfigure, false, false}, Case{ModeChangePassword, false, false}}) {
        MemoryProfileStore backing;
        backing.SetRaw("FramesPerSecond", "20");
        backing.SetRaw("Polygons", "3000");
        EXPECT_EQ(gApp.Init(c.mode, std::nullopt, std::make_unique<KeptStore>(backing)), c.draws);
        EXPECT_EQ(gApp.RunMode(), c.mode);
        ASSERT_NE(gApp.pSettings(), nullptr);
        EXPECT_EQ(gApp.pSettings()->FramesPerSecond(), 20);
        EXPECT_FALSE(gApp.UsePassword());
        gApp.pSettings()->SetFramesPerSecond(12);
        gApp.Shutdown();
        EXPECT_EQ(gApp.pSettings(), nullptr);
        EXPECT_EQ(gApp.RunMode(), ModeNone);
        EXPECT_EQ(backing.ReadInt("FramesPerSecond", 0), c.stores ? 12 : 20) << c.mode;
    }
}

TEST(SaverApp, SeedSwitchSeedsTheApplicationGenerator) {
    auto store = std::make_unique<MemoryProfileStore>();
    store->SetRaw("FramesPerSecond", "20");
    gApp.Init(ModePreview, 42L, std::move(store));
    EXPECT_EQ(gApp.m_Rand.seed(), 42);
    Random reference(42);
    EXPECT_EQ(gApp.m_Rand.next(), reference.next());
    gApp.Shutdown();
}

TEST(SaverApp, WithoutASeedEveryRunDrawsItsOwnSequence) {
    // Runs started in the same second, and a run after one that named a seed.
    std::vector<int> seeds;
    for (const std::optional<long> seed : {std::optional<long>(42), std::optional<long>(),
                                           std::optional<long>(), std::optional<long>()}) {
        auto store = std::make_unique<MemoryProfileStore>();
        store->SetRaw("FramesPerSecond", "20");
        gApp.Init(ModePreview, seed, std::move(store));
        seeds.push_back(gApp.m_Rand.seed());
        gApp.Shutdown();
    }
    EXPECT_EQ(seeds[0], 42);
    for (size_t i = 1; i < seeds.size(); ++i) {
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(seeds[i], seeds[j]) << i << " " << j;
    }
}

TEST(SaverApp, HelpPageMissingFromTheInstallFolderIsReported) {
    auto store = std::make_unique<MemoryProfileStore>();
    store->SetRaw("FramesPerSecond", "25");
    store->SetRaw("InstallFolder", "/nonexistent-kinetora/");
    gApp.Init(ModeConfigure, std::nullopt, std::move(store));
    std::vector<std::string> shown;
    auto previous = tvLibrary::SetMessageSink(
        [&](tvLibrary::MessageKind, const std::string& caption, const std::string& text) {
            shown.push_back(caption + "|" + text);
        });
    gApp.ShowHelp();
    tvLibrary::SetMessageSink(previous);
    gApp.Shutdown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Error|Sorry, could not find help file "
                        "/nonexistent-kinetora/Kinetora.htm. It may be installed in another "
                        "folder.");
}
