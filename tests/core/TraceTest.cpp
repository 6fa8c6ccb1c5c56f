#include "core/Trace.h"
#include "support/FakeClock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

class TraceTest : public ::testing::Test {
protected:
    TraceTest() { TraceLog::ResetForTest(); }
    ~TraceTest() override { TraceLog::ResetForTest(); }

    TempDir dir;
    FakeClock clock;
    ScopedEnv trace{"TOVNTEMP", dir.Path()};
    ScopedEnv temp{"TEMP", std::nullopt};
};

} // namespace

TEST_F(TraceTest, LinesCarryTheMillisecondsSinceThePreviousLine) {
    TraceLine("app", 91, "m_Rand.seed()", 42);
    clock.AdvanceMs(1500);
    TraceLine("saver", 381, "except->name", std::string("acos"));
    clock.AdvanceUs(12345678);
    Trace("%d frames", 7);
    EXPECT_EQ(ReadWholeFile(dir / "trace.txt"),
              "         0: app line 91 : m_Rand.seed() = 42\r\n"
              "      1500: saver line 381 : except->name = acos\r\n"
              "     12345: 7 frames\r\n");
}

TEST_F(TraceTest, ANewRunReplacesTheFileWithItsFirstLine) {
    Trace("first run %d", 1);
    Trace("first run %d", 2);
    TraceLog::ResetForTest(); // as the next process would start
    Trace("second run");
    EXPECT_EQ(ReadWholeFile(dir / "trace.txt"), "         0: second run\r\n");
}

TEST_F(TraceTest, NothingIsWrittenWithoutTheSwitch) {
    ScopedEnv off("TOVNTEMP", std::nullopt);
    ScopedEnv fallback("TEMP", dir.Path());
    Trace("hidden");
    TraceLine("app", 91, "m_Rand.seed()", 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "trace.txt"));
}

TEST_F(TraceTest, FolderFallsBackToTempWhenTheSwitchNamesNone) {
    TempDir other;
    ScopedEnv empty("TOVNTEMP", "");
    if (std::getenv("TOVNTEMP") == nullptr)
        GTEST_SKIP() << "setting a variable to nothing removes it here (Windows), so the switch "
                        "cannot be on without naming a folder";
    ScopedEnv fallback("TEMP", other.Path() + "/");
    EXPECT_EQ(TraceLog::FilePath(), other / "trace.txt");
    Trace("here");
    EXPECT_TRUE(std::filesystem::exists(other / "trace.txt"));
}

TEST_F(TraceTest, TextIsNeverTakenAsAFormatAndLongTextIsRefused) {
    TraceLine("saver", 380, "100% of %s", std::string("%n%n"));
    Trace("%s", std::string(1030, 'x').c_str()); // expansion cut at the buffer
    TraceLine("app", 1, std::string(1024, 'y').c_str(), 1);
    EXPECT_EQ(ReadWholeFile(dir / "trace.txt"), "         0: saver line 380 : 100% of %s = %n%n\r\n"
                                                "         0: " +
                                                    std::string(1023, 'x') +
                                                    "\r\n"
                                                    "         0: Trace string too long\r\n");
}

TEST_F(TraceTest, AnUnwritableFolderLosesTheLineQuietly) {
    ScopedEnv bad("TOVNTEMP", dir / "missing/deeper");
    Trace("lost");
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

#ifndef _WIN32
TEST_F(TraceTest, AFifoInPlaceOfTheFileIsLeftAlone) {
    // The open reader keeps a faulty open from blocking: the lines would show in the pipe.
    const std::string fifo = dir / "trace.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    Trace("into a pipe");
    Trace("and again");
    char byte = 0;
    EXPECT_LE(read(reader, &byte, 1), 0);
    close(reader);
}
#endif
