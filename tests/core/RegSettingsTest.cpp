#include "core/RegSettings.h"
#include "core/MemoryProfileStore.h"
#include "core/StopRequest.h"
#include "core/Trace.h"
#include "support/FakeClock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <regex>

#include <climits>

namespace {

// A store holding a previous run's record, so that no speed test runs.
MemoryProfileStore MeasuredStore(int fps, int polygons) {
    MemoryProfileStore store;
    store.WriteGroup({{"FramesPerSecond", fps}, {"Polygons", polygons}});
    return store;
}

} // namespace

TEST(RegSettings, PerformanceTruncatesBeforeDividingBy25) {
    MemoryProfileStore store = MeasuredStore(12, 3000);
    RegSettings settings(store);
    EXPECT_DOUBLE_EQ(settings.Performance(), 0.56); // 36000 / 2500 = 14, 14 / 25
    EXPECT_DOUBLE_EQ(settings.Performance1(), 0.56);

    settings.SetFramesPerSecond(25);
    settings.SetPolygons(10000000);
    EXPECT_DOUBLE_EQ(settings.Performance(), 4000.0);
    EXPECT_DOUBLE_EQ(settings.Performance1(), 1.0);
    EXPECT_DOUBLE_EQ(settings.PerformanceSlowest1(), 1.0); // slowest is still 12

    settings.SetSlowestFramesPerSecond(2);
    settings.SetPolygons(3000);
    EXPECT_DOUBLE_EQ(settings.PerformanceSlowest1(), 0.08); // 6000 / 2500 = 2, 2 / 25

    settings.SetPolygons(INT_MAX); // the product needs more than 32 bits
    EXPECT_DOUBLE_EQ(settings.Performance(), 858993.44);
}

TEST(RegSettings, SpeedTestScoreBounds) {
    EXPECT_EQ(RegSettings::SpeedTestFramesPerSecond(0), 25);
    EXPECT_EQ(RegSettings::SpeedTestFramesPerSecond(220), 25);
    EXPECT_EQ(RegSettings::SpeedTestFramesPerSecond(221), 24);
    EXPECT_EQ(RegSettings::SpeedTestFramesPerSecond(252), 24);
    EXPECT_EQ(RegSettings::SpeedTestFramesPerSecond(253), 23);
    EXPECT_EQ(RegSettings::SpeedTestFramesPerSecond(988), 1);
    EXPECT_EQ(RegSettings::SpeedTestFramesPerSecond(989), 1);
    EXPECT_EQ(RegSettings::SpeedTestFramesPerSecond(1021), 1); // negative score
    EXPECT_EQ(RegSettings::SpeedTestFramesPerSecond(INT64_MAX), 1);
}

TEST(RegSettings, FirstRunTimesTheMachine) {
    FakeClock clock;
    clock.SetStepMs(540); // readings 540 ms apart: score 15
    MemoryProfileStore fresh;
    RegSettings settings(fresh);
    EXPECT_TRUE(settings.NeedsSpeedTest());
    settings.TakeSpeedTest(RegSettings::RunSpeedTest()); // once the first frame is up
    EXPECT_FALSE(settings.NeedsSpeedTest());
    EXPECT_EQ(settings.FramesPerSecond(), 15);
    EXPECT_EQ(settings.SlowestFramesPerSecond(), 15);
    EXPECT_EQ(settings.Polygons(), 1500);

    const int reads = clock.counterReads;
    MemoryProfileStore measured = MeasuredStore(9, 4000);
    RegSettings again(measured);
    EXPECT_FALSE(again.NeedsSpeedTest()) << "a stored rate skips the test";
    EXPECT_EQ(clock.counterReads, reads);
    EXPECT_EQ(again.FramesPerSecond(), 9);
    EXPECT_EQ(again.Polygons(), 4000);
}

TEST(RegSettings, DefaultsAndStoredValues) {
    MemoryProfileStore store = MeasuredStore(20, 2000);
    RegSettings defaults(store);
    EXPECT_EQ(defaults.Speed(), 50);
    EXPECT_FALSE(defaults.BlankScreen());
    EXPECT_EQ(defaults.BlankMinutes(), 60);
    EXPECT_EQ(defaults.ImageProb(), 50);
    EXPECT_EQ(defaults.ImageNext(), 0);
    EXPECT_EQ(defaults.ImageOrder(), 0);
    EXPECT_TRUE(defaults.Folders().empty());
    EXPECT_FALSE(defaults.InstallFolder().empty());
    EXPECT_EQ(defaults.InstallFolder().back(), '/');

    store.WriteGroup({{"Speed", 7},
                      {"BlankScreen", 1},
                      {"BlankMinutes", 5},
                      {"ImageProb", 100},
                      {"ImageNext", 12},
                      {"ImageOrder", 1},
                      {"InstallFolder", std::string("/opt/k/")}});
    RegSettings stored(store);
    EXPECT_EQ(stored.Speed(), 7);
    EXPECT_TRUE(stored.BlankScreen());
    EXPECT_EQ(stored.BlankMinutes(), 5);
    EXPECT_EQ(stored.ImageProb(), 100);
    EXPECT_EQ(stored.ImageNext(), 12);
    EXPECT_EQ(stored.ImageOrder(), 1);
    EXPECT_EQ(stored.InstallFolder(), "/opt/k/");
}

TEST(RegSettings, ValuesReadBackStayInTheirRanges) {
    MemoryProfileStore store;
    const std::pair<const char*, const char*> raw[] = {
        {"Speed", "150"},      {"ImageProb", "-3"}, {"BlankMinutes", "100000"},
        {"ImageOrder", "7"},   {"ImageNext", "-1"}, {"FramesPerSecond", "40"},
        {"Polygons", "-2500"}, {"BlankScreen", "2"}};
    for (const auto& [name, text] : raw)
        store.SetRaw(name, text);
    RegSettings settings(store);
    EXPECT_EQ(settings.Speed(), 100);
    EXPECT_EQ(settings.ImageProb(), 0);
    EXPECT_EQ(settings.BlankMinutes(), 999);
    EXPECT_EQ(settings.ImageOrder(), 1);
    EXPECT_EQ(settings.ImageNext(), 0);
    EXPECT_EQ(settings.FramesPerSecond(), 25);
    EXPECT_EQ(settings.Polygons(), 1);
    EXPECT_TRUE(settings.BlankScreen());

    store.SetRaw("Polygons", "99999999");
    EXPECT_EQ(RegSettings(store).UnconfirmedPolygons(), 10000000);
}

TEST(RegSettings, TextWhereANumberBelongsReadsAsTheDefault) {
    MemoryProfileStore store = MeasuredStore(20, 2000);
    store.SetRaw("Speed", "fast");
    store.SetRaw("ImageProb", "12.5");
    store.SetRaw("BlankMinutes", "99999999999"); // does not fit an int
    store.SetRaw("ImageNext", " 4 ");            // blanks around a number are fine
    store.SetRaw("BlankScreen", "");
    RegSettings settings(store);
    EXPECT_EQ(settings.Speed(), 50);
    EXPECT_EQ(settings.ImageProb(), 50);
    EXPECT_EQ(settings.BlankMinutes(), 60);
    EXPECT_EQ(settings.ImageNext(), 4);
    EXPECT_FALSE(settings.BlankScreen());

    FakeClock clock;
    clock.SetStepMs(1000); // score 1
    store.SetRaw("FramesPerSecond", "none");
    RegSettings retimed(store);
    retimed.TakeSpeedTest(RegSettings::RunSpeedTest());
    EXPECT_EQ(retimed.FramesPerSecond(), 1);
    EXPECT_EQ(retimed.Polygons(), 100);
}

TEST(RegSettings, FolderListForms) {
    MemoryProfileStore store = MeasuredStore(20, 2000);
    const std::vector<std::string> two{"/pics", "/more pics"};
    store.WriteFolders("/pics*/more pics*");
    EXPECT_EQ(RegSettings(store).Folders(), two);
    store.WriteFolders("/pics*/more pics");
    EXPECT_EQ(RegSettings(store).Folders(), two);

    RegSettings settings(store);
    settings.SetFolders({"/a", "/b"});
    settings.SaveImages();
    EXPECT_EQ(store.ReadFolders(), "/a*/b*");
    settings.SetFolders({});
    settings.SaveImages();
    EXPECT_EQ(store.ReadFolders(), "");
    EXPECT_TRUE(RegSettings(store).Folders().empty());
}

TEST(RegSettings, EachSaveWritesOnlyItsGroupInOneWrite) {
    MemoryProfileStore store = MeasuredStore(20, 2000);
    RegSettings settings(store);
    settings.SetSpeed(80);
    settings.SetImageProb(30);
    settings.SetImageNext(9);
    const int writes = store.WriteCount();

    settings.SaveGeneral();
    EXPECT_EQ(store.WriteCount(), writes + 1);
    EXPECT_EQ(store.ReadInt("Speed", -1), 80);
    EXPECT_EQ(store.ReadInt("BlankScreen", -1), 0);
    EXPECT_EQ(store.ReadInt("BlankMinutes", -1), 60);
    EXPECT_FALSE(store.Has("ImageProb"));

    settings.SaveImages();
    EXPECT_EQ(store.ReadInt("ImageProb", -1), 30);
    EXPECT_EQ(store.ReadInt("ImageOrder", -1), 0);
    EXPECT_FALSE(store.Has("ImageNext"));

    settings.SaveImageNext();
    EXPECT_EQ(store.ReadInt("ImageNext", -1), 9);
}

TEST(RegSettings, OnlyAFullScreenRunWritesTheRecord) {
    TempDir dir;
    ScopedEnv trace("TOVNTEMP", dir.Path());
    TraceLog::ResetForTest();
    MemoryProfileStore store = MeasuredStore(20, 2000);
    const int writes = store.WriteCount();
    {
        RegSettings preview(store);
        preview.SetTracing(true);
        preview.SetFramesPerSecond(3);
    }
    EXPECT_EQ(store.WriteCount(), writes);
    EXPECT_EQ(store.ReadInt("FramesPerSecond", -1), 20);
    {
        RegSettings saver(store);
        saver.SetRunModeSaver(true);
        saver.SetTracing(true);
        saver.SetFramesPerSecond(14);
        saver.SetSlowestFramesPerSecond(11);
        saver.SetPolygons(1234);
    }
    EXPECT_EQ(store.WriteCount(), writes + 1);
    EXPECT_EQ(store.ReadInt("FramesPerSecond", -1), 14);
    EXPECT_EQ(store.ReadInt("Polygons", -1), 1234);
    // Each line opens the file anew: on a slow file system a millisecond may pass between
    // two, so the times are left out of the comparison.
    const std::regex times("(^|\n) *[0-9]+:");
    EXPECT_EQ(std::regex_replace(ReadWholeFile(dir / "trace.txt"), times, "$1T:"),
              "T: RegSettings line 160 : m_FramesPerSecond = 14\r\n"
              "T: RegSettings line 161 : m_SlowestFramesPerSecond = 11\r\n"
              "T: RegSettings line 162 : m_Polygons = 1234\r\n");
    TraceLog::ResetForTest();
}

TEST(RegSettings, RunOverridesAreSeenButNeverSaved) {
    MemoryProfileStore store = MeasuredStore(20, 2000);
    store.WriteGroup({{"Speed", 40}, {"ImageProb", 60}, {"ImageOrder", 1}, {"ImageNext", 5}});
    store.WriteFolders("/stored*");
    RegSettings settings(store);
    settings.SetRunModeSaver(true);
    RunOverrides overrides;
    overrides.speed = 90;
    overrides.imageProb = 0;
    overrides.imageOrder = 0;
    overrides.folders = std::vector<std::string>{"/run/a", "/run/b"};
    settings.ApplyRunOverrides(overrides);

    EXPECT_EQ(settings.Speed(), 90);
    EXPECT_EQ(settings.ImageProb(), 0);
    EXPECT_EQ(settings.ImageOrder(), 0);
    EXPECT_EQ(settings.Folders(), (std::vector<std::string>{"/run/a", "/run/b"}));
    // The stored position belongs to the stored list: the run's list starts at its first.
    EXPECT_EQ(settings.ImageNext(), 0);
    settings.SetImageNext(3);
    EXPECT_EQ(settings.ImageNext(), 3);

    settings.SaveGeneral();
    settings.SaveImages();
    settings.SaveImageNext();
    EXPECT_EQ(store.ReadInt("Speed", -1), 40);
    EXPECT_EQ(store.ReadInt("ImageProb", -1), 60);
    EXPECT_EQ(store.ReadInt("ImageOrder", -1), 1);
    EXPECT_EQ(store.ReadInt("ImageNext", -1), 5);
    EXPECT_EQ(store.ReadFolders(), "/stored*");
}

TEST(RegSettings, AFixedBudgetNeitherAdaptsNorIsRecorded) {
    MemoryProfileStore store = MeasuredStore(20, 2000);
    const int writes = store.WriteCount();
    {
        RegSettings saver(store);
        saver.SetRunModeSaver(true);
        RunOverrides overrides;
        overrides.polygons = 5000;
        saver.ApplyRunOverrides(overrides);
        EXPECT_TRUE(saver.PolygonsFixed());
        saver.SetFramesPerSecond(7);
        saver.SetSlowestFramesPerSecond(7);
        saver.SetPolygons(700);
        EXPECT_EQ(saver.Polygons(), 5000);
        EXPECT_EQ(saver.FramesPerSecond(), 20);
        EXPECT_EQ(saver.SlowestFramesPerSecond(), 20);
        EXPECT_DOUBLE_EQ(saver.Performance(), 1.6); // 20 * 5000 / 2500 = 40, 40 / 25
    }
    EXPECT_EQ(store.WriteCount(), writes);
    EXPECT_EQ(store.ReadInt("Polygons", -1), 2000);

    // Without a fixed budget the same saver run keeps its record, overrides or not.
    {
        RegSettings saver(store);
        saver.SetRunModeSaver(true);
        RunOverrides overrides;
        overrides.speed = 3;
        saver.ApplyRunOverrides(overrides);
        saver.SetPolygons(900);
    }
    EXPECT_EQ(store.ReadInt("Polygons", -1), 900);
    EXPECT_FALSE(store.Has("Speed"));
}

TEST(RegSettings, StoredBudgetBeyondTrustWaitsForFramesThatConfirmIt) {
    MemoryProfileStore store = MeasuredStore(25, 10000000);
    {
        RegSettings settings(store);
        settings.SetRunModeSaver(true);
        EXPECT_EQ(settings.Polygons(), RegSettings::TrustedStartPolygons);
        EXPECT_EQ(settings.UnconfirmedPolygons(), 10000000);
        EXPECT_DOUBLE_EQ(settings.Performance(), 10.0) << "meshes and rooms sized for the start";
        // Bursts at the full rate climb by their headroom, at most eight times a burst.
        settings.SetMeasuredPolygons(30000, 25, 4.0);
        EXPECT_EQ(settings.Polygons(), 100000);
        settings.SetMeasuredPolygons(120000, 25, 100.0);
        EXPECT_EQ(settings.Polygons(), 800000);
        settings.SetMeasuredPolygons(960000, 25, 0.5); // no headroom: the ordinary rule
        EXPECT_EQ(settings.Polygons(), 960000);
        EXPECT_EQ(settings.UnconfirmedPolygons(), 10000000);
    } // never confirmed nor disproved: the stored budget stays
    EXPECT_EQ(store.ReadInt("Polygons", -1), 10000000);
    {
        RegSettings settings(store);
        settings.SetRunModeSaver(true);
        settings.SetMeasuredPolygons(3000000, 25, 8.0);
        settings.SetMeasuredPolygons(3600000, 25, 8.0); // reaches it: trusted from now on
        EXPECT_EQ(settings.Polygons(), 10000000);
        EXPECT_EQ(settings.UnconfirmedPolygons(), 0);
    }
    EXPECT_EQ(store.ReadInt("Polygons", -1), 10000000);
    {
        RegSettings settings(store);
        settings.SetRunModeSaver(true);
        settings.SetMeasuredPolygons(12000, 12, 1.0); // below the full rate: disproved
        EXPECT_EQ(settings.Polygons(), 12000);
        EXPECT_EQ(settings.UnconfirmedPolygons(), 0);
    }
    EXPECT_EQ(store.ReadInt("Polygons", -1), 12000);
    // A budget within trust is taken as it is.
    MemoryProfileStore modest = MeasuredStore(25, RegSettings::TrustedStartPolygons);
    EXPECT_EQ(RegSettings(modest).Polygons(), RegSettings::TrustedStartPolygons);
    EXPECT_EQ(RegSettings(modest).UnconfirmedPolygons(), 0);
}

TEST(RegSettings, StopDuringTheFirstRunSpeedTestLeavesNoRecord) {
    StopRequest::Raise();
    EXPECT_EQ(RegSettings::RunSpeedTest(), -1);
    MemoryProfileStore fresh;
    {
        RegSettings settings(fresh);
        settings.SetRunModeSaver(true);
        EXPECT_EQ(settings.FramesPerSecond(), 25) << "the estimate of any machine in 220 ms";
        settings.TakeSpeedTest(RegSettings::RunSpeedTest());
    }
    StopRequest::Clear();
    EXPECT_EQ(fresh.ReadInt("FramesPerSecond", -1), -1) << "the next run times the machine";
}

TEST(RegSettings, RecordReadsTakeASpeedTestsResultOnceItEnded) {
    MemoryProfileStore fresh;
    RegSettings settings(fresh);
    std::optional<int> result;
    settings.ExpectSpeedTest([&result] { return result; });
    EXPECT_FALSE(settings.NeedsSpeedTest());
    EXPECT_EQ(settings.FramesPerSecond(), 25) << "the estimate while the test runs";
    result = 540; // score 15
    EXPECT_EQ(settings.Polygons(), 1500);
    EXPECT_EQ(settings.SlowestFramesPerSecond(), 15);
    result = 1000; // taken once: a later answer changes nothing
    EXPECT_EQ(settings.FramesPerSecond(), 15);
    // Frames measured before the test ends win over it.
    RegSettings measured(fresh);
    std::optional<int> late;
    measured.ExpectSpeedTest([&late] { return late; });
    measured.SetFramesPerSecond(7);
    late = 540;
    EXPECT_EQ(measured.FramesPerSecond(), 7);
}
