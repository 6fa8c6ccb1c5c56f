#include "images/tvFolder.h"

#include "TestImages.h"
#include "core/StopRequest.h"
#include "images/ImageList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>

using testimages::TempDir;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

} // namespace

TEST(tvFolder, PatternsIgnoreCaseAndListEachMatchOncePerPattern) {
    TempDir dir;
    for (const char* name : {"IMG_1.JPG", "b.Png", "c.jpeg", "notes.txt", "d.jpg.txt"})
        dir.Put(name);
    tvFolder folder(dir.Path().string() + "/"); // one trailing separator is dropped
    EXPECT_EQ(dir.Path().string(), folder.Path());
    EXPECT_EQ(3, folder.AddFiles("*.jpg  *.png *.jpeg"));
    EXPECT_EQ(Sorted({"IMG_1.JPG", "b.Png", "c.jpeg"}), Sorted(folder.FileNames()));
    EXPECT_EQ(1, folder.AddFiles("*.JPG", nullptr, true));
    EXPECT_EQ("img_1.jpg", folder.FileNames().back());
    EXPECT_TRUE(folder.HasFiles("*.gif *.txt"));
    EXPECT_FALSE(folder.HasFiles("*.gif"));

    std::vector<std::string> paths;
    folder.AppendTo(paths);
    EXPECT_EQ(dir.Path().string() + "/c.jpeg", Sorted(paths)[2]);

    // The preview keeps extensions and duplicates; without them "IMG_1.JPG" and "img_1.jpg"
    // lose 4 characters and stay two different names.
    std::vector<std::string> list{"b"};
    EXPECT_EQ(4, folder.ListFiles(list, false, false));
    EXPECT_EQ(Sorted({"b", "IMG_1", "c.", "img_1"}), Sorted(list));
}

TEST(tvFolder, MissingFolderGivesNothing) {
    tvFolder folder("/nonexistent/folder");
    EXPECT_EQ(0, folder.AddFiles("*.jpg"));
    EXPECT_FALSE(folder.HasFiles("*"));
    EXPECT_EQ(0, folder.AddSubfolders(true, true));
    EXPECT_EQ("", folder.NextSubfolder());
    std::vector<std::string> results;
    folder.SearchTree("*.jpg", results, false, true, false);
    EXPECT_TRUE(results.empty());
}

TEST(tvFolder, SearchTreeVisitsParentsFirstAndSkipsDotFoldersAndLinks) {
    TempDir dir;
    const std::string root = dir.Path().string();
    dir.Put("a/one.jpg");
    dir.Put("a/b/two.PNG");
    dir.Put("c/readme.txt");
    dir.Put(".hidden/three.jpg");
    dir.Put("d/e/f/four.bmp");
    std::error_code noLink; // Wine, and Windows without the right to make links, cannot
    std::filesystem::create_directory_symlink(dir.Path(), dir.Path() / "a" / "loop", noLink);

    std::vector<std::string> results;
    std::vector<std::string> visited;
    tvFolder(root).SearchTree("*.jpg *.png *.bmp", results, false, true, false,
                              [&](const std::string& path) { visited.push_back(path); });
    const std::vector<std::string> folders = {root + "/a", root + "/a/b", root + "/d/e/f"};
    EXPECT_EQ(folders, Sorted(results));
    const auto a = std::find(results.begin(), results.end(), root + "/a");
    const auto ab = std::find(results.begin(), results.end(), root + "/a/b");
    EXPECT_LT(a, ab);
    EXPECT_EQ(7u, visited.size()); // root, a, a/b, c, d, d/e, d/e/f
    EXPECT_EQ(root, visited.front());

    tvFolder top(root);
    EXPECT_EQ(3, top.AddSubfolders(true, true));
    EXPECT_EQ(Sorted({"a", "c", "d"}), Sorted(top.SubfolderNames()));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(root + "/", top.NextSubfolder().substr(0, root.size() + 1));
    EXPECT_EQ("", top.NextSubfolder());
    if (noLink)
        GTEST_SKIP() << "checked without the looping link, which this system cannot make: "
                     << noLink.message();
}

TEST(tvFolder, ClearedStopFlagEndsAtOnce) {
    TempDir dir;
    dir.Put("a/one.jpg");
    const std::atomic<bool> searching{false};
    tvFolder folder(dir.Path().string());
    std::vector<std::string> results;
    folder.SearchTree("*.jpg", results, false, true, false, nullptr, &searching);
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(0, tvFolder(dir.Path().string() + "/a").AddFiles("*.jpg", &searching));
    const std::atomic<bool> going{true};
    EXPECT_EQ(1, tvFolder(dir.Path().string() + "/a").AddFiles("*.jpg", &going));
}

// A stop requested for the run ends listings and searches that were given no flag of their
// own, and the run's picture list comes back empty rather than in part.
TEST(tvFolder, RunStopEndsListingWithoutAFlag) {
    TempDir dir;
    dir.Put("a/one.jpg");
    dir.Put("a/b/two.jpg");
    const std::string a = dir.Path().string() + "/a";
    StopRequest::Raise();
    std::vector<std::string> results;
    tvFolder(dir.Path().string()).SearchTree("*.jpg", results, false, true, false);
    const int listed = tvFolder(a).AddFiles("*.jpg");
    const std::vector<std::string> images = ImageList::List({a});
    StopRequest::Clear();
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(listed, 0);
    EXPECT_TRUE(images.empty());
    EXPECT_EQ(ImageList::List({a}), std::vector<std::string>{a + "/one.jpg"});
}

namespace {

// Marks folders by the start of their name, as a file system with attributes would.
tvFolder::Marks MarksByName(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return {name.rfind("sys", 0) == 0 || name.rfind("both", 0) == 0,
            name.rfind("hid", 0) == 0 || name.rfind("both", 0) == 0};
}

struct MarksReaderScope {
    explicit MarksReaderScope(tvFolder::MarksReader reader) { tvFolder::SetMarksReader(reader); }
    ~MarksReaderScope() { tvFolder::SetMarksReader(nullptr); }
};

} // namespace

TEST(tvFolder, MarkedFoldersAreLeftOutUnlessAskedFor) {
    TempDir dir;
    const std::string root = dir.Path().string();
    for (const char* name : {"plain", "system", "hidden", "both"})
        dir.Put(std::string(name) + "/p.jpg");
    EXPECT_EQ(4, tvFolder(root).AddSubfolders(false, false)) << "no reader, no marks";

    MarksReaderScope scope(&MarksByName);
    const std::pair<bool, bool> flags[] = {
        {false, false}, {true, false}, {false, true}, {true, true}};
    const std::vector<std::string> kept[] = {
        {"plain"}, {"plain", "system"}, {"hidden", "plain"}, {"both", "hidden", "plain", "system"}};
    for (int i = 0; i < 4; ++i) {
        tvFolder folder(root);
        folder.AddSubfolders(flags[i].first, flags[i].second);
        EXPECT_EQ(kept[i], Sorted(folder.SubfolderNames()))
            << "system " << flags[i].first << " hidden " << flags[i].second;
    }
    // The Images page's search takes system folders and leaves hidden ones out.
    std::vector<std::string> results;
    tvFolder(root).SearchTree("*.jpg", results, false, true, false);
    EXPECT_EQ(Sorted({root + "/plain", root + "/system"}), Sorted(results));
}
