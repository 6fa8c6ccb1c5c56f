#include "config/ImagesPage.h"
#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"
#include "core/tvLibrary.h"

#include "config/FakeServices.h"
#include "images/TestImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>
#include <tuple>

using testimages::TempDir;
using Strings = std::vector<std::string>;

namespace {

class ImagesPageTest : public ::testing::Test {
protected:
    ImagesPageTest() {
        m_Store.SetRaw("FramesPerSecond", "25");
        m_Previous = tvLibrary::SetMessageSink(
            [this](tvLibrary::MessageKind, const std::string& caption, const std::string& text) {
                notes.push_back(caption + ": " + text);
            });
    }
    ~ImagesPageTest() override { tvLibrary::SetMessageSink(m_Previous); }

    // Settings loaded from the store; every one lives as long as the test, since a page made
    // on earlier settings may still be open.
    RegSettings& Settings(const std::string& folders = "") {
        m_Store.WriteFolders(folders);
        m_AllSettings.push_back(std::make_unique<RegSettings>(m_Store));
        m_pSettings = m_AllSettings.back().get();
        return *m_pSettings;
    }
    // Starts a search under root and pumps the page's queue until it has ended.
    void Search(CImagesPage& page, const std::string& root) {
        services.browser.Answer(root);
        page.OnSearch();
        ASSERT_TRUE(page.IsSearching());
        ASSERT_TRUE(services.PumpUntil([&] { return !page.IsSearching(); }));
    }

    MemoryProfileStore m_Store;
    std::vector<std::unique_ptr<RegSettings>> m_AllSettings;
    RegSettings* m_pSettings = nullptr; // the last made
    FakeServices services;
    Strings notes;
    tvLibrary::MessageSink m_Previous;
};

} // namespace

TEST_F(ImagesPageTest, AddKeepsTheChosenPathOnceAndNotesAFolderWithoutImages) {
    TempDir dir;
    const std::string photos = dir.Put("photos/a.JPE"); // only the check finds .jpe
    const std::string empty = (dir.Path() / "empty").string();
    std::filesystem::create_directories(empty);
    const std::string photoFolder = std::filesystem::path(photos).parent_path().string();

    RegSettings& settings = Settings();
    CImagesPage page(settings, services);
    services.browser.Answer(photoFolder);
    services.browser.Answer(empty);
    services.browser.Answer(photoFolder);  // already listed
    services.browser.Answer(std::nullopt); // cancelled
    for (int i = 0; i < 4; ++i)
        page.OnAdd();

    EXPECT_EQ(page.List(), (Strings{photoFolder, empty}));
    EXPECT_EQ(settings.Folders(), page.List());
#ifdef KINETORA_NO_HEIF
    EXPECT_EQ(notes, Strings{"Note: No images (jpg, jpe, jpeg, png, bmp or webp) were found in "
                             "this folder."});
#else
    EXPECT_EQ(notes, Strings{"Note: No images (jpg, jpe, jpeg, png, bmp, webp, heic, heif or "
                             "avif) were found in this folder."});
#endif
    EXPECT_EQ(services.browser.titles.front(), "Choose a folder containing your images:");
    EXPECT_FALSE(m_Store.HasFolders() && !m_Store.ReadFolders().empty()) << "written on OK only";
}

TEST_F(ImagesPageTest, RemoveSelectsTheNeighbourAndDropsOnlyThatRow) {
    RegSettings& settings = Settings("/a*/b*/c*/b*");
    CImagesPage page(settings, services);
    page.OnRemove(); // nothing selected
    EXPECT_EQ(page.List().size(), 4u);

    page.Select(3);
    page.OnRemove();
    EXPECT_EQ(page.List(), (Strings{"/a", "/b", "/c"}));
    EXPECT_EQ(page.Selection(), 2) << "the new last entry";
    EXPECT_EQ(settings.Folders(), page.List()) << "the first /b stays, as shown";

    page.Select(0);
    page.OnRemove();
    EXPECT_EQ(page.Selection(), 0);
    EXPECT_EQ(page.List(), (Strings{"/b", "/c"}));

    page.OnRemoveAll();
    EXPECT_TRUE(page.List().empty());
    EXPECT_EQ(page.Selection(), -1);
    EXPECT_TRUE(settings.Folders().empty());

    CImagesPage single(Settings("/only*"), services);
    single.Select(0);
    single.OnRemove();
    EXPECT_EQ(single.Selection(), -1);
}

// OK stores exactly the rows shown: removing one copy of a folder, or one empty entry,
// leaves the others.
TEST_F(ImagesPageTest, OkStoresTheListAsShownAfterARemove) {
    for (const auto& [stored, row, expected] :
         {std::tuple<std::string, int, std::string>{"/p/a*/p/b*/p/a*", 2, "/p/a*/p/b*"},
          {"/p/a*/p/b*/p/a*", 0, "/p/b*/p/a*"},
          {"/p/a***/p/b*", 1, "/p/a**/p/b*"}}) {
        RegSettings& settings = Settings(stored);
        CImagesPage page(settings, services);
        page.Select(row);
        page.OnRemove();
        const Strings shown = page.List();
        page.OnOK();
        EXPECT_EQ(m_Store.ReadFolders(), expected) << stored << " less row " << row;
        EXPECT_EQ(RegSettings(m_Store).Folders(), shown) << "reads back as it was shown";
    }
}

// The folder list has no escape for its separator: a folder with a * in its name is refused
// when added or searched under, and left out (with a note) when a search finds it.
TEST_F(ImagesPageTest, AFolderNamedWithAStarIsNeverStored) {
    TempDir dir;
    const std::string root = dir.Path().string();
    std::error_code made;
    std::filesystem::create_directories(dir.Path() / "st*ar", made);
    if (made)
        GTEST_SKIP() << "this system allows no * in a folder's name: " << made.message();
    dir.Put("st*ar/a.jpg");
    dir.Put("st*ar/below/b.jpg");
    dir.Put("plain/c.jpg");
    RegSettings& settings = Settings("/kept*");
    CImagesPage page(settings, services);

    services.browser.Answer(root + "/st*ar");
    page.OnAdd();
    EXPECT_EQ(page.List(), Strings{"/kept"});
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].first, "Error");
    EXPECT_NE(services.messages[0].second.find("The folder " + root + "/st*ar cannot be added"),
              std::string::npos)
        << services.messages[0].second;
    EXPECT_TRUE(notes.empty()) << "refused before the check for images";

    services.browser.Answer(root + "/st*ar");
    page.OnSearch();
    EXPECT_FALSE(page.IsSearching());
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_NE(services.messages[1].second.find("cannot be searched"), std::string::npos);

    Search(page, root);
    EXPECT_EQ(page.List(), (Strings{"/kept", root + "/plain"}));
    ASSERT_EQ(services.messages.size(), 3u);
    EXPECT_EQ(services.messages[2].first, "Note");
    const std::string& note = services.messages[2].second;
    EXPECT_NE(note.find("\n" + root + "/st*ar\n" + root + "/st*ar/below"), std::string::npos)
        << note;

    page.OnOK();
    EXPECT_EQ(RegSettings(m_Store).Folders(), page.List()) << "reads back as it was shown";
}

TEST_F(ImagesPageTest, OrderResetStartAtFirstAndPreview) {
    RegSettings& settings = Settings("/a*");
    CImagesPage page(settings, services);
    EXPECT_FALSE(page.StartAtFirstEnabled());
    page.OnAlphabetical();
    EXPECT_EQ(settings.ImageOrder(), 1);
    EXPECT_TRUE(page.StartAtFirstEnabled());
    page.OnRandom();
    EXPECT_EQ(settings.ImageOrder(), 0);

    page.SetProb(7);
    page.OnReset();
    EXPECT_EQ(page.Prob(), 50);
    EXPECT_EQ(page.List(), Strings{"/a"}) << "reset touches only the frequency";

    page.OnImages();
    EXPECT_TRUE(page.StatusShown());
    EXPECT_EQ(page.StatusText(), "Please select a folder from the above list");
    EXPECT_TRUE(services.previews.empty());
    page.Select(0);
    page.OnImages();
    EXPECT_FALSE(page.StatusShown());
    EXPECT_EQ(services.previews, Strings{"/a"});

    page.OnStartAtFirst();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].first, "Kinetora");
    EXPECT_EQ(services.messages[0].second, "Images will start from the first one on the next run.");
    settings.SetImageNext(9);
    page.OnOK();
    EXPECT_EQ(m_Store.ReadInt("ImageNext", -1), 0);
    EXPECT_FALSE(m_Store.Has("ImageProb")) << "list, order and frequency are as loaded";
}

TEST_F(ImagesPageTest, SearchAddsNewImageFoldersInWalkOrderOnly) {
    TempDir dir;
    const std::string root = dir.Path().string();
    dir.Put("listed/x.jpg");
    dir.Put("new/y.PNG");
    dir.Put("new/deeper/z.bmp");
    dir.Put("only-jpe/w.jpe"); // the search does not look for .jpe
    dir.Put("text/notes.txt");
    std::error_code noLink; // Wine, and Windows without the right to make links, cannot
    std::filesystem::create_directory_symlink(root, root + "/new/loop", noLink); // not followed

    RegSettings& settings = Settings(root + "/listed*");
    CImagesPage page(settings, services);
    Search(page, root);
    EXPECT_EQ(services.browser.titles.back(), "Choose a drive or folder to search under:");
    Strings expected{root + "/listed", root + "/new", root + "/new/deeper"};
    Strings got = page.List();
    std::sort(got.begin() + 1, got.end()); // siblings come in the file system's order
    EXPECT_EQ(got, expected);
    EXPECT_EQ(settings.Folders(), page.List());
    EXPECT_FALSE(page.StatusShown());
    EXPECT_STREQ(page.SearchText(), "S&earch...");

    Search(page, root); // all found again: nothing doubles
    EXPECT_EQ(page.List().size(), 3u);

    TempDir emptyRoot;
    emptyRoot.Put("a/b/c/readme.txt");
    Search(page, emptyRoot.Path().string());
    EXPECT_EQ(page.List().size(), 3u);
    if (noLink)
        GTEST_SKIP() << "checked without the looping link, which this system cannot make: "
                     << noLink.message();
}

TEST_F(ImagesPageTest, StopEndsTheSearchAtOnceAndDropsItsFindings) {
    TempDir dir;
    for (int i = 0; i < 40; ++i)
        dir.Put("f" + std::to_string(i) + "/p.jpg");
    RegSettings& settings = Settings();
    CImagesPage page(settings, services);
    // The worker dawdles at its first folder, so the stop comes in the middle of the walk.
    services.onPost = [](int posted) {
        if (posted == 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    };
    services.browser.Answer(dir.Path().string());
    page.OnSearch();
    ASSERT_TRUE(page.IsSearching());
    EXPECT_STREQ(page.SearchText(), "Stop");
    EXPECT_FALSE(page.ListButtonsEnabled());
    EXPECT_TRUE(page.StatusShown());
    while (services.Posted() == 0)
        std::this_thread::yield();

    const auto start = std::chrono::steady_clock::now();
    page.OnSearch(); // the button reads Stop
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_FALSE(page.IsSearching());
    EXPECT_STREQ(page.SearchText(), "S&earch...");
    EXPECT_TRUE(page.ListButtonsEnabled());
    EXPECT_FALSE(page.StatusShown());
    EXPECT_EQ(services.busyCount, 1);
    services.Pump(); // whatever the worker queued before it stopped is stale
    EXPECT_TRUE(page.List().empty());
    EXPECT_TRUE(settings.Folders().empty());
}

TEST_F(ImagesPageTest, ProgressShowsTheFolderAndNeverFloodsTheQueue) {
    TempDir dir;
    for (int i = 0; i < 40; ++i)
        dir.Put("d" + std::to_string(i) + "/x.txt");
    CImagesPage page(Settings(), services);
    int changes = 0;
    page.SetChangeListener([&] { ++changes; });
    services.browser.Answer(dir.Path().string());
    page.OnSearch();
    // Nobody takes the first progress call, so the worker queues no other before its end.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (services.Posted() < 2 && std::chrono::steady_clock::now() < end)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(services.Posted(), 2);
    ASSERT_TRUE(services.PumpUntil([&] { return !page.IsSearching(); }));
    EXPECT_EQ(changes, 2); // the folder being searched, then the end
}

TEST_F(ImagesPageTest, AClosedPageIgnoresWhatTheWorkerQueued) {
    TempDir dir;
    dir.Put("a/p.png");
    {
        CImagesPage page(Settings(), services);
        services.browser.Answer(dir.Path().string());
        page.OnSearch();
        while (services.Posted() == 0)
            std::this_thread::yield();
    } // destroyed while its calls wait: the worker is joined, the calls find no page
    services.Pump();
    EXPECT_TRUE(m_pSettings->Folders().empty());
}

TEST_F(ImagesPageTest, UnreadableFoldersAreSkipped) {
    TempDir dir;
    dir.Put("locked/inside/p.jpg");
    dir.Put("open/q.jpg");
    const std::filesystem::path locked = dir.Path() / "locked";
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    std::error_code noLink; // Wine, and Windows without the right to make links, cannot
    std::filesystem::create_directory_symlink(dir.Path() / "missing", dir.Path() / "dangling",
                                              noLink);
    CImagesPage page(Settings(), services);
    Search(page, dir.Path().string());
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    const Strings& list = page.List();
    EXPECT_NE(std::find(list.begin(), list.end(), dir.Path().string() + "/open"), list.end());
    if (noLink)
        GTEST_SKIP() << "checked without the dangling link, which this system cannot make: "
                     << noLink.message();
}

TEST_F(ImagesPageTest, APageClosedWithoutOkOrCancelPutsTheSettingsBack) {
    TempDir dir;
    dir.Put("found/p.jpg");
    RegSettings& settings = Settings("/kept*");
    {
        CImagesPage page(settings, services);
        page.OnAlphabetical();
        Search(page, dir.Path().string());
        ASSERT_EQ(settings.Folders().size(), 2u) << "the search added its folder";
        services.browser.Answer(dir.Path().string());
        page.OnSearch(); // and another search runs when the page goes
    }
    services.Pump();
    EXPECT_EQ(settings.Folders(), Strings{"/kept"});
    EXPECT_EQ(settings.ImageOrder(), 0);

    {
        CImagesPage page(settings, services);
        page.OnAlphabetical();
        page.OnRemoveAll();
        page.OnOK();
    } // confirmed: what OK stored stays
    EXPECT_EQ(settings.ImageOrder(), 1);
    EXPECT_TRUE(settings.Folders().empty());
}
