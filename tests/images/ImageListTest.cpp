#include "images/ImageList.h"

#include "TestImages.h"
#include "core/MemoryProfileStore.h"
#include "core/Random.h"
#include "core/RegSettings.h"

#include <gtest/gtest.h>

using testimages::TempDir;

namespace {

// Settings with a stored frame rate, so no speed test runs.
struct Settings {
    MemoryProfileStore store;
    std::unique_ptr<RegSettings> settings;

    Settings(int order, int next) {
        store.SetRaw("FramesPerSecond", "25");
        store.SetRaw("ImageOrder", std::to_string(order));
        store.SetRaw("ImageNext", std::to_string(next));
        settings = std::make_unique<RegSettings>(store);
    }
};

} // namespace

TEST(ImageList, SortsFullPathsByteByByte) {
    TempDir dir;
    const std::string root = dir.Path().string();
    dir.Put("Pics/a.jpg");
    dir.Put("Pics-2/b.JPG"); // '-' sorts before the separator '/'
    dir.Put("Pics/C.png");
    dir.Put("Pics/d.bmp");
    dir.Put("Pics/e.jpe");
    dir.Put("Pics/f.jpeg");
    dir.Put("Pics/g.gif");
    const std::vector<std::string> images =
        ImageList::List({root + "/Pics/", root + "/missing", root + "/Pics-2"});
    const std::vector<std::string> expected = {root + "/Pics-2/b.JPG", root + "/Pics/C.png",
                                               root + "/Pics/a.jpg",   root + "/Pics/d.bmp",
                                               root + "/Pics/e.jpe",   root + "/Pics/f.jpeg"};
    EXPECT_EQ(expected, images);
    EXPECT_TRUE(ImageList::List({}).empty());
}

TEST(ImageList, AlphabeticalOrderWrapsAndSavesImageNext) {
    const std::vector<std::string> images = {"a", "b", "c"};
    Settings s(1, 7);
    Random rand(5);
    EXPECT_EQ("c", ImageList::NextImagePath(rand, *s.settings, images)); // 7 clamped to 2
    EXPECT_EQ(2, s.settings->ImageNext());                               // 8 mod 3
    EXPECT_EQ(2, s.store.ReadInt("ImageNext", -1));
    EXPECT_EQ("c", ImageList::NextImagePath(rand, *s.settings, images));
    EXPECT_EQ("a", ImageList::NextImagePath(rand, *s.settings, images));
    EXPECT_EQ(1, s.store.ReadInt("ImageNext", -1));
    EXPECT_EQ(5, rand.seed());
    Random fresh(5);
    EXPECT_EQ(fresh.next(), rand.next()) << "alphabetical order draws nothing";
}

TEST(ImageList, RandomOrderDrawsOnceAndLeavesImageNext) {
    const std::vector<std::string> images = {"a", "b", "c", "d", "e"};
    Settings s(0, 4);
    Random rand(99);
    Random reference(99);
    for (int i = 0; i < 20; ++i) {
        const int expected = reference.below(5);
        EXPECT_EQ(images[static_cast<std::size_t>(expected)],
                  ImageList::NextImagePath(rand, *s.settings, images));
    }
    EXPECT_EQ(4, s.settings->ImageNext());
    EXPECT_EQ(0, s.store.WriteCount()) << "nothing saved";
}

TEST(ImageList, EmptyListGivesEmptyPath) {
    Settings s(1, 3);
    Random rand(1);
    ImageList list;
    list.Build({"/nonexistent"});
    EXPECT_FALSE(list.HasImages());
    EXPECT_EQ("", list.NextImagePath(rand, *s.settings));
    EXPECT_EQ(3, s.settings->ImageNext());
}
