#include "host/offscreen/PngWriter.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

// Pixels that do not compress, so the file is about as large as the picture.
std::vector<unsigned char> Noise(int width, int height) {
    std::mt19937 bits(7);
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (unsigned char& b : rgb)
        b = static_cast<unsigned char>(bits());
    return rgb;
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// A file size limit stands in for a full disk: writes past it fail as they would there.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_Old);
        rlimit limit = m_Old;
        limit.rlim_cur = bytes;
        m_Ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_Old);
        std::signal(SIGXFSZ, m_OldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Ok() const { return m_Ok; }

private:
    rlimit m_Old{};
    void (*m_OldHandler)(int) = SIG_DFL;
    bool m_Ok = false;
};

} // namespace

TEST(PngWriter, AFailedWriteKeepsTheOldPictureAndLeavesNoTemporaryFile) {
    const TempDir dir;
    const std::string path = dir / "pic.png";
    std::string error;
    ASSERT_TRUE(WritePng(path, 4, 4, Noise(4, 4), error)) << error;
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const std::string before = ReadWholeFile(path);

    {
        const FileSizeLimit full(1024);
        ASSERT_TRUE(full.Ok());
        EXPECT_FALSE(WritePng(path, 64, 64, Noise(64, 64), error));
    }
    EXPECT_EQ(error, std::strerror(EFBIG));
    EXPECT_EQ(ReadWholeFile(path), before);
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"pic.png"});

    // Room again: the new picture replaces the old one and keeps its mode.
    ASSERT_TRUE(WritePng(path, 64, 64, Noise(64, 64), error)) << error;
    EXPECT_GT(ReadWholeFile(path).size(), 64u * 64 * 3);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"pic.png"});
}

TEST(PngWriter, RefusesFifosDevicesAndFoldersButWritesThroughALink) {
    const TempDir dir;
    const std::string fifo = dir / "fifo.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    // Neither call may open the FIFO: that would block until a reader comes.
    EXPECT_FALSE(CanWritePng(fifo, error));
    EXPECT_EQ(error, "not a regular file");
    EXPECT_FALSE(WritePng(fifo, 2, 2, Noise(2, 2), error));
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_FALSE(CanWritePng("/dev/null", error));
    EXPECT_FALSE(CanWritePng(dir.Path(), error));
    EXPECT_FALSE(CanWritePng(dir / "missing/x.png", error));

    const std::string target = dir / "real.png";
    const std::string link = dir / "link.png";
    ASSERT_TRUE(WritePng(target, 2, 2, Noise(2, 2), error)) << error;
    fs::create_symlink(target, link);
    ASSERT_TRUE(WritePng(link, 8, 8, Noise(8, 8), error)) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_GT(fs::file_size(target), 8u * 8 * 3);

    fs::create_symlink(dir / "nothing.png", dir / "dangling.png");
    EXPECT_FALSE(CanWritePng(dir / "dangling.png", error));
    EXPECT_FALSE(fs::exists(dir / "nothing.png"));
}
