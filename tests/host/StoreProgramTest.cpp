// gtest first: the X headers define macros (None, Bool) that its templates use as names.
#include <gtest/gtest.h>

#include "DisplayFixture.h"
#include "ProgramRun.h"

#include <X11/keysym.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int kStartMs = 20000; // start-up includes the first run's speed test
constexpr int kExitMs = 10000;
// Well inside the time the program waits for a held settings lock.
constexpr int kCloseMs = 2000;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lock the settings writers take, held as another writer would hold it.
class HeldLock {
public:
    explicit HeldLock(const std::string& path)
        : m_Fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        m_bHeld = m_Fd >= 0 && ::flock(m_Fd, LOCK_EX) == 0;
    }
    ~HeldLock() { Release(); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    bool Held() const { return m_bHeld; }
    void Release() {
        if (m_Fd >= 0)
            ::close(m_Fd);
        m_Fd = -1;
    }

private:
    int m_Fd;
    bool m_bHeld = false;
};

class StoreProgramTest : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(WaitUntil([&] { return !SaverShown(); }, kExitMs));
    }

    Window ShownSaver() {
        for (const Window w : ProgramChildren(m_Display, m_Root)) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(m_Display, w, &a) && a.map_state == IsViewable)
                return w;
        }
        return 0;
    }
    bool SaverShown() { return ShownSaver() != 0; }
};

} // namespace

// Another process holds the settings lock when a key ends the full-screen run: the window
// goes at once, the record waits for the lock after it; a lock that is never given back
// costs the record, which the trace says.
TEST_F(StoreProgramTest, TheWindowClosesAtOnceWhileTheSettingsLockIsHeld) {
    for (const bool released : {true, false}) {
        SCOPED_TRACE(released ? "lock released" : "lock kept");
        TempFolder config;
        TempFolder trace;
        const std::string folder = config.Path() + "/Tovenhall";
        std::filesystem::create_directories(folder);
        // A measured machine (no speed test); "020" reads as 20 and is stored as "20".
        std::ofstream(folder + "/Kinetora.conf")
            << "[Config]\nFramesPerSecond=020\nPolygons=2000\n";
        HeldLock lock(folder + "/Kinetora.conf.flock");
        ASSERT_TRUE(lock.Held());

        ProgramRun run({"/s"}, config.Path(), {{"TOVNTEMP", trace.Path()}});
        Window saver = 0;
        ASSERT_TRUE(
            WaitUntil([&] { return (saver = ShownSaver()) != 0 || !run.Running(); }, kStartMs));
        ASSERT_NE(saver, 0u) << run.Stderr();
        SendKey(saver, XK_space);
        EXPECT_TRUE(WaitUntil([&] { return !SaverShown(); }, kCloseMs));
        EXPECT_TRUE(run.Running()) << "the record still waits for the lock";

        if (released)
            lock.Release();
        const std::optional<int> status = run.WaitExit(kExitMs);
        ASSERT_TRUE(status.has_value()) << "still running";
        EXPECT_EQ(*status, 0) << run.Stderr();
        const std::string stored = ReadAll(folder + "/Kinetora.conf");
        const std::string lines = ReadAll(trace.Path() + "/trace.txt");
        if (released) {
            EXPECT_EQ(stored.find("FramesPerSecond=0"), std::string::npos) << stored;
            EXPECT_NE(stored.find("FramesPerSecond="), std::string::npos) << stored;
        } else {
            EXPECT_NE(stored.find("FramesPerSecond=020"), std::string::npos) << stored;
            EXPECT_NE(lines.find("FramesPerSecond, Polygons not stored: another process still "
                                 "holds the settings lock"),
                      std::string::npos)
                << lines;
        }
    }
}
