#include "host/offscreen/OffscreenHost.h"

#include "RecordedStore.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned BigEndian(const std::vector<unsigned char>& bytes, size_t at) {
    return (unsigned{bytes[at]} << 24) | (unsigned{bytes[at + 1]} << 16) |
           (unsigned{bytes[at + 2]} << 8) | unsigned{bytes[at + 3]};
}

class RunRender : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = std::filesystem::temp_directory_path() /
                ("kinetora-render-" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_Dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_Dir); }
    std::string PathOf(const char* name) const { return (m_Dir / name).string(); }

    std::filesystem::path m_Dir;
};

} // namespace

TEST_F(RunRender, WritesAPngOfTheRequestedSizeAndReplaysItsSeed) {
    RenderOptions options;
    options.frames = 3;
    options.width = 40;
    options.height = 30;
    options.seed = 1234;
    options.path = PathOf("a.png");
    ASSERT_EQ(::RunRender(options, RecordedStore()), 0);
    options.path = PathOf("b.png");
    ASSERT_EQ(::RunRender(options, RecordedStore()), 0);

    const std::vector<unsigned char> a = ReadBytes(PathOf("a.png"));
    ASSERT_GT(a.size(), 33u);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    EXPECT_TRUE(std::equal(signature, signature + 8, a.begin()));
    EXPECT_EQ(std::string(a.begin() + 12, a.begin() + 16), "IHDR");
    EXPECT_EQ(BigEndian(a, 16), 40u);
    EXPECT_EQ(BigEndian(a, 20), 30u);
    EXPECT_EQ(a, ReadBytes(PathOf("b.png")));
}

TEST_F(RunRender, RejectsBadPathsAndSizes) {
    RenderOptions options;
    options.seed = 1;
    options.width = 16;
    options.height = 16;
    options.path = PathOf("missing-folder/x.png");
    EXPECT_NE(::RunRender(options, RecordedStore()), 0);
    EXPECT_FALSE(std::filesystem::exists(options.path));

    options.path = PathOf("x.png");
    options.width = 0;
    EXPECT_NE(::RunRender(options, RecordedStore()), 0);
    options.width = 16;
    options.frames = 0;
    EXPECT_NE(::RunRender(options, RecordedStore()), 0);
    EXPECT_FALSE(std::filesystem::exists(options.path));
}

// A FIFO named as the output would block the run in open(), beyond the reach of a signal.
// A reader comes after a while to free a run that did open it, so the test fails rather
// than hangs.
TEST_F(RunRender, RefusesAFifoWithoutOpeningIt) {
    RenderOptions options;
    options.seed = 1;
    options.width = 16;
    options.height = 16;
    options.path = PathOf("out.png");
    ASSERT_EQ(mkfifo(options.path.c_str(), 0600), 0);

    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool freed = false;
    std::thread reader([&] {
        std::unique_lock lock(mutex);
        if (ended.wait_for(lock, std::chrono::seconds(10), [&] { return done; }))
            return;
        freed = true;
        const int fd = open(options.path.c_str(), O_RDONLY | O_NONBLOCK);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        if (fd >= 0)
            close(fd);
    });
    const int status = ::RunRender(options, RecordedStore());
    {
        const std::lock_guard lock(mutex);
        done = true;
    }
    ended.notify_all();
    reader.join();
    EXPECT_NE(status, 0);
    EXPECT_FALSE(freed) << "the run waited in open()";
    EXPECT_TRUE(std::filesystem::is_fifo(options.path));
}
