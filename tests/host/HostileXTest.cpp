// The program against X servers and windows that fail it: each run ends by itself with one
// line on standard error and a status, never a hang or a crash. Every test starts its own
// server, so none needs (or disturbs) the shared display.
#include <gtest/gtest.h>

#include "ProgramRun.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kExitMs = 15000;

// A private Xvfb; it picks a free display number itself and tells us (-displayfd).
class OwnServer {
public:
    explicit OwnServer(const std::vector<std::string>& screenArgs) {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        // -noreset: a server whose last client leaves starts over and resets the connection
        // of the next, which would then fail for that reason and not the one under test.
        std::vector<std::string> args = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-noreset"};
        args.insert(args.end(), screenArgs.begin(), screenArgs.end());
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        if (posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ) == 0)
            m_Pid = pid;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        // The server writes the number, then the newline: closing the pipe before the
        // newline is in kills it (its write fails), so read the whole line.
        std::string text;
        char c = 0;
        while (m_Pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            text += c;
        close(fds[0]);
        if (c == '\n' && !text.empty())
            m_Name = ":" + std::to_string(std::atoi(text.c_str()));
    }
    ~OwnServer() { Kill(SIGTERM); }
    OwnServer(const OwnServer&) = delete;
    OwnServer& operator=(const OwnServer&) = delete;

    bool Ok() const { return !m_Name.empty(); }
    const std::string& Name() const { return m_Name; }

    void Kill(int signal) {
        if (m_Pid <= 0)
            return;
        kill(m_Pid, signal);
        int raw = 0;
        waitpid(m_Pid, &raw, 0);
        m_Pid = -1;
        if (signal == SIGKILL && !m_Name.empty()) {
            // A killed server leaves its socket and lock behind.
            const std::string number = m_Name.substr(1);
            std::error_code ignored;
            std::filesystem::remove("/tmp/.X11-unix/X" + number, ignored);
            std::filesystem::remove("/tmp/.X" + number + "-lock", ignored);
        }
    }

private:
    pid_t m_Pid = -1;
    std::string m_Name;
};

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

std::string Hex(Window window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

// Ends by itself with a status that is not a signal's, and says why in one line when it
// failed.
void ExpectOneLineEnd(ProgramRun& run, const std::string& what, bool mayEndWell = false) {
    const std::optional<int> status = run.WaitExit(kExitMs);
    ASSERT_TRUE(status.has_value()) << what << ": still running; " << run.Stderr();
    if (mayEndWell && *status == 0) {
        EXPECT_LE(Lines(run.Stderr()), 0) << what << ": " << run.Stderr();
        return;
    }
    EXPECT_EQ(*status, 1) << what << ": " << run.Stderr();
    EXPECT_EQ(Lines(run.Stderr()), 1) << what << ": " << run.Stderr();
}

bool HaveXvfb() {
    return std::system("command -v Xvfb > /dev/null 2>&1") == 0;
}

class HostileX : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveXvfb())
            GTEST_SKIP() << "no Xvfb";
    }
};

} // namespace

TEST_F(HostileX, AnInputOnlyWindowIsRefused) {
    OwnServer server({"-screen", "0", "640x480x24"});
    ASSERT_TRUE(server.Ok());
    Display* display = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(display, nullptr);
    XSetWindowAttributes attributes{};
    const Window window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0,
                                        InputOnly, CopyFromParent, 0, &attributes);
    XMapWindow(display, window);
    XSync(display, False);

    const std::map<std::string, std::string> env = {{"DISPLAY", server.Name()}};
    const std::vector<std::vector<std::string>> ways = {{"--root", "--window-id", Hex(window)},
                                                        {"/p", std::to_string(window)}};
    for (const auto& args : ways) {
        const TempFolder config;
        ProgramRun run(args, config.Path(), env);
        ExpectOneLineEnd(run, args[0]);
        EXPECT_NE(run.Stderr().find("input-only"), std::string::npos) << run.Stderr();
    }
    const TempFolder config;
    ProgramRun hosted({"--root"}, config.Path(),
                      {{"DISPLAY", server.Name()}, {"XSCREENSAVER_WINDOW", Hex(window)}});
    ExpectOneLineEnd(hosted, "XSCREENSAVER_WINDOW");
    XCloseDisplay(display);
}

TEST_F(HostileX, ServersWithoutAnRgbaGlVisualAreRefused) {
    OwnServer server({"-screen", "0", "640x480x8"});
    ASSERT_TRUE(server.Ok());
    for (const char* mode : {"--window", "--root", "/s"}) {
        const TempFolder config;
        ProgramRun run({mode}, config.Path(), {{"DISPLAY", server.Name()}});
        ExpectOneLineEnd(run, mode);
        EXPECT_NE(run.Stderr().find("ChoosePixelFormat failed"), std::string::npos) << run.Stderr();
    }
}

// EGL needs no GLX on the server: the frames reach the screen all the same.
TEST_F(HostileX, AServerWithoutGlxIsDrawnOnAllTheSame) {
    OwnServer server({"-screen", "0", "640x480x24", "-extension", "GLX"});
    ASSERT_TRUE(server.Ok());
    Display* display = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(display, nullptr);
    const TempFolder config;
    ProgramRun run({"--root", "--seed", "2"}, config.Path(), {{"DISPLAY", server.Name()}});
    int lit = 0;
    const bool drawn = WaitUntil(
        [&] {
            XImage* image =
                XGetImage(display, DefaultRootWindow(display), 0, 0, 640, 480, AllPlanes, ZPixmap);
            if (image == nullptr)
                return false;
            lit = 0;
            for (int y = 0; y < 480; y += 4)
                for (int x = 0; x < 640; x += 4)
                    lit += (XGetPixel(image, x, y) & 0xffffff) != 0 ? 1 : 0;
            XDestroyImage(image);
            return lit > 160 * 120 / 2;
        },
        kExitMs);
    EXPECT_TRUE(drawn) << lit << " of " << 160 * 120 << " pixels drawn; " << run.Stderr();
    run.Signal(SIGTERM);
    const std::optional<int> status = run.WaitExit(kExitMs);
    ASSERT_TRUE(status.has_value()) << run.Stderr();
    EXPECT_EQ(*status, 0) << run.Stderr();
    EXPECT_EQ(Lines(run.Stderr()), 0) << run.Stderr();
    XCloseDisplay(display);
}

// The server killed at moments spread over start-up and the first frames.
TEST_F(HostileX, AServerKilledAtAnyMomentEndsTheRun) {
    for (int i = 0; i < 10; ++i) {
        OwnServer server({"-screen", "0", "640x480x24"});
        ASSERT_TRUE(server.Ok());
        const TempFolder config;
        const char* mode = i % 2 == 0 ? "--window" : "/s";
        ProgramRun run({mode, "--seed", std::to_string(i)}, config.Path(),
                       {{"DISPLAY", server.Name()}});
        std::this_thread::sleep_for(std::chrono::milliseconds(i * 150));
        server.Kill(SIGKILL);
        ExpectOneLineEnd(run, std::string(mode) + " after " + std::to_string(i * 150) + " ms");
    }
}

// The window to draw in destroyed at moments spread over the set-up: between two of the
// program's calls it fails with one line; once drawing, its end is the normal end.
TEST_F(HostileX, AHostWindowDestroyedAtAnyMomentEndsTheRun) {
    OwnServer server({"-screen", "0", "640x480x24"});
    ASSERT_TRUE(server.Ok());
    Display* display = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(display, nullptr);
    for (int i = 0; i < 12; ++i) {
        const Window window =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 160, 120, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        const TempFolder config;
        const std::vector<std::string> args =
            i % 2 == 0 ? std::vector<std::string>{"--root", "--window-id", Hex(window)}
                       : std::vector<std::string>{"/p", Hex(window)};
        ProgramRun run(args, config.Path(), {{"DISPLAY", server.Name()}});
        std::this_thread::sleep_for(std::chrono::milliseconds(i * 60));
        XDestroyWindow(display, window);
        XSync(display, False);
        ExpectOneLineEnd(run, args[0] + " after " + std::to_string(i * 60) + " ms", true);
    }
    XCloseDisplay(display);
}
