// Picture folders as a hostile machine may leave them: link loops, folders we may not read,
// names that are not UTF-8, pictures that change between the listing and the loading.
#include "images/ImageBMP.h"
#include "images/ImageJPEG.h"
#include "images/ImageList.h"
#include "images/ImagePNG.h"
#include "images/tvFolder.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;
using testimages::TempDir;

namespace {

const char* const kPatterns = "*.jpg *.jpe *.jpeg *.png *.bmp";

testimages::Rgb Grey(int x, int y) {
    const auto v = static_cast<std::uint8_t>((x * 16 + y * 8) & 0xff);
    return {v, v, v};
}

testimages::Bytes Jpeg() {
    return testimages::Jpeg(16, 8, 3, Grey);
}

testimages::Bytes Png() {
    return testimages::Png(16, 8, 2, 8, false, [](int x, int y) {
        return testimages::Pixel16{static_cast<std::uint16_t>(x * 10), 20,
                                   static_cast<std::uint16_t>(y * 20), 255};
    });
}

bool Decodes(const std::string& path) {
    const std::string extension = path.substr(path.rfind('.') + 1);
    std::unique_ptr<Image> image;
    if (extension == "bmp")
        image = std::make_unique<ImageBMP>(path);
    else if (extension == "png")
        image = std::make_unique<ImagePNG>(path);
    else
        image = std::make_unique<ImageJPEG>(path, 1, false, 0);
    return image->IsValid();
}

// Runs list() as an unprivileged user (a root process reads every folder), and hands back
// the lines it returned.
std::vector<std::string> AsNobody(const std::function<std::vector<std::string>()>& list) {
    if (geteuid() != 0)
        return list();
    int fds[2];
    if (pipe(fds) != 0)
        return {"pipe failed"};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        std::string text;
        for (const std::string& line : list())
            text += line + "\n";
        const bool written =
            write(fds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        _exit(written ? 0 : 3);
    }
    close(fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {"child failed"};
    std::vector<std::string> lines;
    for (std::size_t begin = 0, end; (end = text.find('\n', begin)) != std::string::npos;
         begin = end + 1)
        lines.push_back(text.substr(begin, end - begin));
    return lines;
}

} // namespace

TEST(HostileFolders, LinkLoopsUnreadableFoldersAndOddNamesNeitherHangNorHide) {
    TempDir dir;
    const std::string root = dir.Path().string();
    ASSERT_EQ(chmod(root.c_str(), 0755), 0);
    const std::string good = dir.Put("Pics/good.jpg", Jpeg());
    const std::string odd = dir.Put("Pics/\xff\xfe odd.png", Png()); // not UTF-8
    dir.Put("Pics/sub/inner.jpg", Jpeg());
    dir.Put("Pics/locked/hidden.jpg", Jpeg());
    fs::create_symlink("loop.jpg", root + "/Pics/loop.jpg");
    fs::create_symlink("..", root + "/Pics/up");
    fs::create_symlink("../..", root + "/Pics/sub/back");
    ASSERT_EQ(chmod((root + "/Pics/locked").c_str(), 0), 0);

    const std::vector<std::string> images = AsNobody([&] {
        return ImageList::List({root + "/Pics", root + "/Pics/locked"});
    });
    const std::vector<std::string> expected = {root + "/Pics/good.jpg", root + "/Pics/loop.jpg",
                                               odd};
    EXPECT_EQ(images, expected);
    EXPECT_TRUE(Decodes(good));
    EXPECT_TRUE(Decodes(odd));
    EXPECT_FALSE(Decodes(root + "/Pics/loop.jpg"));

    std::vector<std::string> found = AsNobody([&] {
        std::vector<std::string> results;
        tvFolder(root).SearchTree(kPatterns, results, false, true, false);
        return results;
    });
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{root + "/Pics", root + "/Pics/sub"}));
    chmod((root + "/Pics/locked").c_str(), 0755);
}

// The list is made once a run; later the files may change under it. Each changed picture
// fails alone, at once (a FIFO must not block the open), and the others still load.
TEST(HostileFolders, PicturesChangedAfterTheListingFailAloneAndAtOnce) {
    TempDir dir;
    const std::string root = dir.Path().string();
    const testimages::Bytes png = Png();
    dir.Put("a.jpg", Jpeg());
    dir.Put("b.png", png);
    dir.Put("c.bmp", testimages::Bmp24(8, 8, Grey));
    dir.Put("d.jpg", Jpeg());
    dir.Put("e.png", png);
    dir.Put("f.jpg", Jpeg());
    const std::vector<std::string> images = ImageList::List({root});
    ASSERT_EQ(images.size(), 6u);

    fs::remove(root + "/b.png");
    fs::remove(root + "/c.bmp");
    ASSERT_EQ(mkfifo((root + "/c.bmp").c_str(), 0600), 0);
    fs::remove(root + "/d.jpg");
    fs::create_directory(root + "/d.jpg");
    dir.Put("e.png", testimages::Bytes(png.begin(), png.begin() + png.size() / 2));
    fs::remove(root + "/f.jpg");
    fs::create_symlink("/dev/zero", root + "/f.jpg");

    // Frees a decoder that did open the FIFO, so the test fails rather than hangs.
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool freed = false;
    std::thread writer([&] {
        std::unique_lock lock(mutex);
        if (ended.wait_for(lock, std::chrono::seconds(10), [&] { return done; }))
            return;
        freed = true;
        const int fd = open((root + "/c.bmp").c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            close(fd);
    });
    std::vector<bool> valid;
    for (const std::string& path : images)
        valid.push_back(Decodes(path));
    {
        const std::lock_guard lock(mutex);
        done = true;
    }
    ended.notify_all();
    writer.join();
    EXPECT_FALSE(freed) << "a decoder waited in open()";
    EXPECT_EQ(valid, (std::vector<bool>{true, false, false, false, false, false}));
}
