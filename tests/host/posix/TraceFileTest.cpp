#include "host/posix/TraceFile.h"
#include "core/Trace.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The trace's lines without the milliseconds they start with, which a loaded machine
// stretches.
std::string WithoutTimes(const std::string& text) {
    std::string lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        const std::string line = text.substr(start, end - start);
        const std::size_t colon = line.find(": ");
        lines += colon == std::string::npos ? line : line.substr(colon + 2);
        start = end;
    }
    return lines;
}

// The trace as the program writes it: through the host's opener, into a folder another
// user could write too.
class TraceFileTest : public ::testing::Test {
protected:
    TraceFileTest() {
        TraceLog::ResetForTest();
        TraceLog::SetFileOpener(OpenOwnTraceFile);
        std::ofstream(precious) << "my notes\n";
    }
    ~TraceFileTest() override {
        TraceLog::SetFileOpener(nullptr);
        TraceLog::ResetForTest();
    }

    void TraceARun() {
        TraceLine("app", 91, "m_Rand.seed()", 7);
        TraceLine("RegSettings", 162, "m_Polygons", 2500);
    }

    TempDir dir;
    TempDir home;
    const std::string trace = dir / "trace.txt";
    const std::string precious = home / "precious";
    ScopedEnv folder{"TOVNTEMP", dir.Path()};
};

} // namespace

TEST_F(TraceFileTest, ALinkInThePlaceOfTheTraceIsNeverFollowed) {
    ASSERT_EQ(::symlink(precious.c_str(), trace.c_str()), 0);
    TraceARun();
    EXPECT_EQ(ReadWholeFile(precious), "my notes\n");
    EXPECT_TRUE(std::filesystem::is_symlink(trace));

    // Nor is one that points where nothing is yet.
    const std::string planted = home / "planted";
    std::filesystem::remove(trace);
    ASSERT_EQ(::symlink(planted.c_str(), trace.c_str()), 0);
    TraceLog::ResetForTest();
    TraceARun();
    EXPECT_FALSE(std::filesystem::exists(planted));
}

TEST_F(TraceFileTest, AHardLinkToAnotherFileIsLeftAlone) {
    ASSERT_EQ(::link(precious.c_str(), trace.c_str()), 0);
    TraceARun();
    EXPECT_EQ(ReadWholeFile(precious), "my notes\n");
}

TEST_F(TraceFileTest, AFileOfAnotherUserIsLeftAlone) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can give a file to another user";
    std::ofstream(trace) << "theirs\n";
    ASSERT_EQ(::chown(trace.c_str(), 12345, 12345), 0);
    TraceARun();
    EXPECT_EQ(ReadWholeFile(trace), "theirs\n");
}

TEST_F(TraceFileTest, OurOwnFileStartsAfreshEachRunAndIsPrivate) {
    std::ofstream(trace) << "the last run's lines\n";
    TraceARun();
    EXPECT_EQ(WithoutTimes(ReadWholeFile(trace)),
              "app line 91 : m_Rand.seed() = 7\r\nRegSettings line 162 : m_Polygons = 2500\r\n");
    std::filesystem::remove(trace);
    TraceLog::ResetForTest();
    TraceARun();
    struct stat st {};
    ASSERT_EQ(::stat(trace.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(TraceFileTest, AFifoIsNeitherWaitedForNorWritten) {
    ASSERT_EQ(::mkfifo(trace.c_str(), 0600), 0);
    TraceARun(); // no reader: the open would block without O_NONBLOCK
    const int reader = ::open(trace.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    TraceARun();
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0);
    ::close(reader);
}
