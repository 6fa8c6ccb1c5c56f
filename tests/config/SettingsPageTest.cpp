#include "config/SettingsPage.h"
#include "config/ConfigProp.h"
#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"

#include "config/FakeServices.h"
#include "support/RefusingStore.h"

#include <gtest/gtest.h>

namespace {

// A store as a machine that has run full screen leaves it (no speed test at load).
MemoryProfileStore RunStore(int fps = 21, int polygons = 4200) {
    MemoryProfileStore store;
    store.SetRaw("FramesPerSecond", std::to_string(fps));
    store.SetRaw("Polygons", std::to_string(polygons));
    return store;
}

} // namespace

TEST(SettingsPage, FrameRateLinesNeedAStoredRecord) {
    MemoryProfileStore fresh; // never run full screen: the load estimates a rate
    RegSettings measured(fresh);
    ASSERT_GT(measured.FramesPerSecond(), 0);
    int clicks = 0;
    CSettingsPage page(measured, fresh, &clicks);
    EXPECT_FALSE(page.FrameRateShown());
    EXPECT_FALSE(page.PolygonsShown());

    MemoryProfileStore noPolygons;
    noPolygons.SetRaw("FramesPerSecond", "7");
    RegSettings settings(noPolygons);
    CSettingsPage shown(settings, noPolygons, &clicks);
    EXPECT_EQ(shown.FrameRateText(), "Last Frames Per Second: 7");
    for (int i = 0; i < 5; ++i)
        shown.OnFrameRateClicked();
    EXPECT_FALSE(shown.PolygonsShown()) << "no stored polygon count, nothing to reveal";
}

TEST(SettingsPage, ThirdClickRevealsThePolygonCountForGood) {
    MemoryProfileStore store = RunStore();
    RegSettings settings(store);
    int clicks = 0;
    CSettingsPage page(settings, store, &clicks);
    ASSERT_TRUE(page.FrameRateShown());
    page.OnFrameRateClicked();
    page.OnFrameRateClicked();
    EXPECT_FALSE(page.PolygonsShown());
    page.OnFrameRateClicked();
    EXPECT_EQ(page.PolygonsText(), "Last Polygon Count: 4200");

    // The counter outlives the page: a sheet opened again shows the count at the first click.
    CSettingsPage again(settings, store, &clicks);
    EXPECT_FALSE(again.PolygonsShown());
    again.OnFrameRateClicked();
    EXPECT_TRUE(again.PolygonsShown());
}

TEST(SettingsPage, BlankingEnablesTheMinutesAndMinutesAreValidated) {
    MemoryProfileStore store = RunStore();
    RegSettings settings(store);
    CSettingsPage page(settings, store);
    EXPECT_FALSE(page.MinutesEnabled());
    EXPECT_EQ(page.MinutesText(), "60");
    page.SetBlank(true);
    EXPECT_TRUE(page.MinutesEnabled());
    page.SetBlank(false);
    EXPECT_FALSE(page.MinutesEnabled());

    const std::string range = "Please enter an integer between 0 and 999.";
    for (const char* bad : {"", "1000", "-1", "12a", "5.5"}) {
        page.SetMinutesText(bad);
        EXPECT_EQ(page.Validate(), range) << '"' << bad << '"';
    }
    for (const char* good : {"0", "999", " 45 "}) {
        page.SetMinutesText(good);
        EXPECT_EQ(page.Validate(), "") << '"' << good << '"';
    }
    page.SetSpeed(250);
    EXPECT_EQ(page.Speed(), 100);
}

TEST(SettingsPage, OkWritesTheGeneralGroupOnlyWhenItChanged) {
    MemoryProfileStore store = RunStore();
    RegSettings settings(store);
    CSettingsPage untouched(settings, store);
    untouched.OnOK();
    EXPECT_FALSE(store.Has("Speed"));

    CSettingsPage page(settings, store);
    page.SetSpeed(70);
    page.SetBlank(true);
    page.SetMinutesText("15");
    EXPECT_FALSE(store.Has("Speed")) << "nothing is written before OK";
    page.OnOK();
    EXPECT_EQ(store.ReadInt("Speed", -1), 70);
    EXPECT_EQ(store.ReadInt("BlankScreen", -1), 1);
    EXPECT_EQ(store.ReadInt("BlankMinutes", -1), 15);
    EXPECT_EQ(settings.BlankMinutes(), 15);
    EXPECT_FALSE(store.Has("ImageProb"));
    EXPECT_FALSE(store.HasFolders());
}

TEST(ConfigProp, CancelWritesNothingAndOkWritesOnlyChangedPages) {
    MemoryProfileStore store = RunStore();
    store.WriteFolders("/a*");
    RegSettings settings(store);
    const int writes = store.WriteCount();
    {
        FakeServices services;
        CConfigProp sheet(settings, store, services);
        sheet.General().SetSpeed(5);
        sheet.Images().Select(0);
        sheet.Images().OnRemove();
        sheet.Images().OnAlphabetical();
        sheet.Images().SetProb(10);
        sheet.OnCancel();
    }
    EXPECT_EQ(store.WriteCount(), writes);
    EXPECT_EQ(store.ReadFolders(), "/a*");
    EXPECT_EQ(settings.Folders(), std::vector<std::string>{"/a"}) << "cancel restores memory";
    EXPECT_EQ(settings.ImageOrder(), 0);
    EXPECT_EQ(settings.Speed(), 50);

    FakeServices services;
    CConfigProp sheet(settings, store, services);
    sheet.Images().SetProb(80);
    sheet.General().SetMinutesText("");
    CConfigProp::Page page = CConfigProp::ImagesPage;
    EXPECT_FALSE(sheet.Validate(page).empty());
    EXPECT_EQ(page, CConfigProp::GeneralPage);
    sheet.General().SetMinutesText("60");
    EXPECT_TRUE(sheet.Validate(page).empty());
    sheet.OnOK();
    EXPECT_EQ(store.ReadInt("ImageProb", -1), 80);
    EXPECT_FALSE(store.Has("Speed")) << "the General page did not change";
    EXPECT_FALSE(store.Has("ImageNext"));
}

// A save that fails is said, with its reason, and loses nothing: the sheet keeps the user's
// values and a later OK writes them.
TEST(ConfigProp, OkThatCannotSaveSaysWhyAndKeepsTheChanges) {
    RefusingStore store("cannot write in the folder /cfg: Permission denied",
                        "/cfg/Kinetora.ini: the file is read-only");
    store.SetRaw("FramesPerSecond", "21");
    RegSettings settings(store);
    FakeServices services;
    CConfigProp sheet(settings, store, services);
    sheet.General().SetSpeed(70);
    CConfigProp::Page page = CConfigProp::GeneralPage;
    ASSERT_TRUE(sheet.Validate(page).empty());

    const std::string said = sheet.OnOK();
    EXPECT_EQ(said.rfind("The settings were not saved.", 0), 0u) << said;
    EXPECT_NE(said.find("cannot write in the folder /cfg: Permission denied"), std::string::npos)
        << said;
    EXPECT_EQ(settings.Speed(), 50) << "memory still holds what the store holds";

    sheet.Images().SetProb(20); // the Images page fails on its own too
    EXPECT_NE(sheet.OnOK().find("Permission denied"), std::string::npos);

    store.refusing = false;
    EXPECT_EQ(sheet.OnOK(), "");
    EXPECT_EQ(store.ReadInt("Speed", -1), 70);
    EXPECT_EQ(store.ReadInt("ImageProb", -1), 20);
    EXPECT_EQ(store.TakeWriteProblem(), "");
}
