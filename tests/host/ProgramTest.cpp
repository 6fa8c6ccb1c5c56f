// gtest first: the X headers define macros (None, Bool) that its templates use as names.
#include <gtest/gtest.h>

#include "DisplayFixture.h"
#include "ProgramRun.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kStartMs = 20000; // start-up includes the first run's speed test
constexpr int kExitMs = 10000;
// How long a move that must not close the saver is given to (wrongly) close it.
constexpr int kGraceMs = 700;

std::string Hex(Window window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

bool HasRecord(const TempFolder& config) {
    return config.SettingsText().find("FramesPerSecond=") != std::string::npos;
}

// A first run times the machine once its first frame is up, and a run ended before that
// timing ends stores no record: give it time before ending a run whose record is checked.
void LetTheFirstRunTimeTheMachine() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
}

class ProgramTest : public DisplayFixture {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_Config.Path().empty());
        DisplayFixture::SetUp();
        if (IsSkipped())
            return;
        // A program killed by the previous test may still have its window (and grabs) until
        // the server has noticed; its window must not be taken for this test's.
        ASSERT_TRUE(WaitUntil([&] { return ProgramChildren(m_Display, m_Root).empty(); }, kExitMs));
    }

    Window MakeWindow(int width, int height) {
        const Window window =
            XCreateSimpleWindow(m_Display, m_Root, 0, 0, static_cast<unsigned>(width),
                                static_cast<unsigned>(height), 0, 0, 0);
        XMapWindow(m_Display, window);
        XSync(m_Display, False);
        return window;
    }

    XWindowAttributes Attributes(Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(m_Display, window, &attributes);
        return attributes;
    }

    bool HasSize(Window window, int width, int height) {
        const XWindowAttributes a = Attributes(window);
        return a.width == width && a.height == height;
    }

    // The program's top-level window once it is on screen.
    Window WaitForTopLevel(ProgramRun& run) {
        Window found = 0;
        WaitUntil(
            [&] {
                for (const Window w : ProgramChildren(m_Display, m_Root)) {
                    if (Attributes(w).map_state == IsViewable)
                        found = w;
                }
                return found != 0 || !run.Running();
            },
            kStartMs);
        return found;
    }

    // The full-screen window is up and holds the pointer.
    Window WaitForSaver(ProgramRun& run) {
        const Window saver = WaitForTopLevel(run);
        if (saver == 0)
            return 0;
        EXPECT_TRUE(Attributes(saver).override_redirect);
        const bool grabbed = WaitUntil(
            [&] {
                const int result = XGrabPointer(m_Display, m_Root, False, 0, GrabModeAsync,
                                                GrabModeAsync, None, None, CurrentTime);
                if (result == GrabSuccess)
                    XUngrabPointer(m_Display, CurrentTime);
                XSync(m_Display, False);
                return result == AlreadyGrabbed;
            },
            kStartMs);
        EXPECT_TRUE(grabbed);
        return saver;
    }

    // Someone (the program) listens to the window's structure events.
    bool WaitUntilWatched(Window window) {
        return WaitUntil(
            [&] { return (Attributes(window).all_event_masks & StructureNotifyMask) != 0; },
            kStartMs);
    }

    void WarpTo(int x, int y) {
        XWarpPointer(m_Display, None, m_Root, 0, 0, 0, 0, x, y);
        XSync(m_Display, False);
    }

    void ExpectCleanExit(ProgramRun& run) {
        const std::optional<int> status = run.WaitExit(kExitMs);
        ASSERT_TRUE(status.has_value()) << "still running";
        EXPECT_EQ(*status, 0) << run.Stderr();
    }

    TempFolder m_Config;
};

} // namespace

TEST_F(ProgramTest, PreviewFillsItsParentFollowsItsSizeAndEndsWithIt) {
    const Window parent = MakeWindow(300, 200);
    ProgramRun run({"/p", std::to_string(parent)}, m_Config.Path());
    Window child = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto children = ProgramChildren(m_Display, parent);
            child = children.empty() ? 0 : children[0];
            return child != 0 || !run.Running();
        },
        kStartMs));
    ASSERT_NE(child, 0u) << run.Stderr();
    const XWindowAttributes a = Attributes(child);
    EXPECT_EQ(a.x, 0);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.width, 300);
    EXPECT_EQ(a.height, 200);

    XResizeWindow(m_Display, parent, 420, 260);
    XSync(m_Display, False);
    EXPECT_TRUE(WaitUntil([&] { return HasSize(child, 420, 260); }, kExitMs));

    XDestroyWindow(m_Display, parent);
    XSync(m_Display, False);
    ExpectCleanExit(run);
    EXPECT_FALSE(HasRecord(m_Config)); // a preview never stores the frame rate
}

TEST_F(ProgramTest, PreviewEndedBySignalDoesNotStoreTheFrameRate) {
    const Window parent = MakeWindow(160, 120);
    ProgramRun run({"/p", Hex(parent)}, m_Config.Path());
    ASSERT_TRUE(WaitUntilWatched(parent)) << run.Stderr();
    run.Signal(SIGTERM);
    ExpectCleanExit(run);
    EXPECT_FALSE(HasRecord(m_Config));
    XDestroyWindow(m_Display, parent);
}

TEST_F(ProgramTest, SaverIgnoresTheFirstMoveAndSmallMovesButNotTwentyOnePixels) {
    WarpTo(10, 10);
    ProgramRun run({"/s"}, m_Config.Path());
    const Window saver = WaitForSaver(run);
    ASSERT_NE(saver, 0u) << run.Stderr();
    EXPECT_TRUE(HasSize(saver, DisplayWidth(m_Display, DefaultScreen(m_Display)),
                        DisplayHeight(m_Display, DefaultScreen(m_Display))));

    WarpTo(400, 300); // the first move only records where the pointer is
    EXPECT_FALSE(run.WaitExit(kGraceMs).has_value());
    WarpTo(420, 320); // 20 on both axes from the reference point
    EXPECT_FALSE(run.WaitExit(kGraceMs).has_value());
    WarpTo(421, 300); // 21 on one axis
    ExpectCleanExit(run);
    EXPECT_TRUE(HasRecord(m_Config));
}

TEST_F(ProgramTest, SaverEndsOnAKeyAndStoresTheFrameRate) {
    ProgramRun run({"/s"}, m_Config.Path());
    const Window saver = WaitForSaver(run);
    ASSERT_NE(saver, 0u) << run.Stderr();
    LetTheFirstRunTimeTheMachine();
    SendKey(saver, XK_space);
    ExpectCleanExit(run);
    EXPECT_TRUE(HasRecord(m_Config));
}

TEST_F(ProgramTest, SaverEndsOnAButton) {
    ProgramRun run({"-s"}, m_Config.Path());
    const Window saver = WaitForSaver(run);
    ASSERT_NE(saver, 0u) << run.Stderr();
    SendButton(saver);
    ExpectCleanExit(run);
}

TEST_F(ProgramTest, SaverEndsWhenItLosesTheFocusOrIsUnmapped) {
    ProgramRun focus({"/s"}, m_Config.Path());
    ASSERT_NE(WaitForSaver(focus), 0u) << focus.Stderr();
    const Window other = MakeWindow(50, 50);
    XSetInputFocus(m_Display, other, RevertToParent, CurrentTime);
    XSync(m_Display, False);
    ExpectCleanExit(focus);

    ProgramRun unmap({"/s"}, m_Config.Path());
    const Window saver = WaitForSaver(unmap);
    ASSERT_NE(saver, 0u) << unmap.Stderr();
    XUnmapWindow(m_Display, saver);
    XSync(m_Display, False);
    ExpectCleanExit(unmap);
    XDestroyWindow(m_Display, other);
}

TEST_F(ProgramTest, SaverEndedBySignalStillStoresTheFrameRate) {
    ProgramRun run({"/s"}, m_Config.Path());
    ASSERT_NE(WaitForSaver(run), 0u) << run.Stderr();
    LetTheFirstRunTimeTheMachine();
    run.Signal(SIGTERM);
    ExpectCleanExit(run);
    EXPECT_TRUE(HasRecord(m_Config));
}

TEST_F(ProgramTest, HostedRunDrawsInTheDaemonsWindowAndKeepsSaverSemantics) {
    const Window host = MakeWindow(320, 240);
    ProgramRun run({"--root"}, m_Config.Path(), {{"XSCREENSAVER_WINDOW", Hex(host)}});
    ASSERT_TRUE(WaitUntilWatched(host)) << run.Stderr();
    // Input belongs to the daemon: a key sent to its window does not end the run.
    SendKey(host, XK_space);
    EXPECT_FALSE(run.WaitExit(kGraceMs).has_value());
    run.Signal(SIGTERM);
    ExpectCleanExit(run);
    EXPECT_TRUE(HasRecord(m_Config));

    // A hosted run also ends when its window goes.
    TempFolder second;
    ProgramRun again({"--root", "--window-id", std::to_string(host)}, second.Path());
    ASSERT_TRUE(WaitUntilWatched(host)) << again.Stderr();
    XDestroyWindow(m_Display, host);
    XSync(m_Display, False);
    ExpectCleanExit(again);
}

// The frames reach the daemon's window, and so do the rate lines' glyphs (pure yellow, which
// the lit and shaded scene under their dark box does not make).
TEST_F(ProgramTest, HostedRunShowsItsFramesAndTheRateLinesInTheDaemonsWindow) {
    const Window host = MakeWindow(320, 240);
    ProgramRun run({"--root", "--fps", "--seed", "3"}, m_Config.Path(),
                   {{"XSCREENSAVER_WINDOW", Hex(host)}});
    int yellow = 0;
    int lit = 0;
    const bool shown = WaitUntil(
        [&] {
            XImage* image = XGetImage(m_Display, host, 0, 0, 320, 240, AllPlanes, ZPixmap);
            if (image == nullptr)
                return false;
            yellow = lit = 0;
            for (int y = 0; y < 240; ++y) {
                for (int x = 0; x < 320; ++x) {
                    const unsigned long pixel = XGetPixel(image, x, y) & 0xffffff;
                    lit += pixel != 0 ? 1 : 0;
                    // The lines sit in the lower left corner.
                    yellow += pixel == 0xffff00 && y > 120 && x < 240 ? 1 : 0;
                }
            }
            XDestroyImage(image);
            return yellow >= 40;
        },
        kStartMs);
    EXPECT_TRUE(shown) << yellow << " yellow pixels; " << run.Stderr();
    EXPECT_GT(lit, 320 * 240 / 2);
    run.Signal(SIGTERM);
    ExpectCleanExit(run);
}

TEST_F(ProgramTest, HostedRunWithCommandLineSettingsNeverStoresThem) {
    const Window host = MakeWindow(320, 240);
    const std::vector<std::string> settings = {
        "--speed",       "7",      "--image-prob", "3",
        "--image-order", "random", "--images",     m_Config.Path()};
    std::vector<std::string> args = {"--root", "--fps"};
    args.insert(args.end(), settings.begin(), settings.end());
    {
        ProgramRun run(args, m_Config.Path(), {{"XSCREENSAVER_WINDOW", Hex(host)}});
        ASSERT_TRUE(WaitUntilWatched(host)) << run.Stderr();
        LetTheFirstRunTimeTheMachine();
        run.Signal(SIGTERM);
        ExpectCleanExit(run);
    }
    // The frame-rate record is kept; none of the run's settings is.
    const std::string before = m_Config.SettingsText();
    EXPECT_TRUE(HasRecord(m_Config));
    for (const char* key : {"Speed=", "ImageProb=", "ImageOrder=", "ImageNext="})
        EXPECT_EQ(before.find(key), std::string::npos) << before;
    EXPECT_FALSE(std::ifstream(m_Config.Path() + "/Tovenhall/Kinetora.ini").good());

    // A fixed budget records nothing at all: the file stays as it was.
    args.insert(args.end(), {"--polygons", "123"});
    ProgramRun run(args, m_Config.Path(), {{"XSCREENSAVER_WINDOW", Hex(host)}});
    ASSERT_TRUE(WaitUntilWatched(host)) << run.Stderr();
    std::this_thread::sleep_for(std::chrono::milliseconds(kGraceMs));
    run.Signal(SIGTERM);
    ExpectCleanExit(run);
    EXPECT_EQ(m_Config.SettingsText(), before);
}

TEST_F(ProgramTest, WindowModeEndsOnEscapeOrTheWindowManagersClose) {
    {
        ProgramRun run({"--window", "--size", "320x240"}, m_Config.Path());
        const Window window = WaitForTopLevel(run);
        ASSERT_NE(window, 0u) << run.Stderr();
        EXPECT_TRUE(HasSize(window, 320, 240));
        EXPECT_FALSE(Attributes(window).override_redirect);
        SendKey(window, XK_Escape);
        ExpectCleanExit(run);
    }
    {
        ProgramRun run({"--window"}, m_Config.Path());
        const Window window = WaitForTopLevel(run);
        ASSERT_NE(window, 0u) << run.Stderr();
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(m_Display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(m_Display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_Display, window, False, NoEventMask, &event);
        XSync(m_Display, False);
        ExpectCleanExit(run);
    }
    EXPECT_FALSE(HasRecord(m_Config));
}

TEST_F(ProgramTest, MissingWindowEndsWithOneLineAndFailure) {
    // An id no client has: the server hands out ids far below this.
    ProgramRun run({"/p", "0x1fffffe"}, m_Config.Path());
    const std::optional<int> status = run.WaitExit(kStartMs);
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(*status, 0);
    const std::string text = run.Stderr();
    EXPECT_NE(text.find("0x1fffffe"), std::string::npos) << text;
    EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
}

// These need no X server.
TEST(ProgramArguments, BadInputGivesOneLineAndFailureNeverAHang) {
    const TempFolder config;
    const std::vector<std::vector<std::string>> cases = {{"/p"},
                                                         {"/p", "x12"},
                                                         {"--window-id", "nope"},
                                                         {"--render", "a.png", "--size", "0x0"},
                                                         {"--frames"},
                                                         {"--root", "--speed", "101"},
                                                         {"--root", "--polygons", "-1"},
                                                         {"--render", "--size", "32x24", "o.png"},
                                                         {"--render", "o.png", "5", "junk"},
                                                         {"--render", "o.png", "/s"},
                                                         {"/s", "/rabc"},
                                                         {"--bench", "--seconds", "86401"}};
    for (auto args : cases) {
        for (std::string& arg : args) {
            if (arg == "o.png")
                arg = config.Path() + "/o.png"; // never drawn, unless the line is misread
        }
        ProgramRun run(args, config.Path());
        const std::optional<int> status = run.WaitExit(kExitMs);
        ASSERT_TRUE(status.has_value()) << args[0];
        EXPECT_EQ(*status, 2) << args[0];
        const std::string text = run.Stderr();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    }
    ProgramRun root({"--root"}, config.Path(), {{"XSCREENSAVER_WINDOW", "0xzz"}});
    EXPECT_EQ(root.WaitExit(kExitMs), std::optional<int>(2));
}

TEST(ProgramArguments, OnScreenModesWithoutADisplaySaySoAndFail) {
    const TempFolder config;
    for (const char* mode : {"/s", "--window", "--root"}) {
        ProgramRun run({mode}, config.Path(), {{"DISPLAY", ""}});
        const std::optional<int> status = run.WaitExit(kExitMs);
        ASSERT_TRUE(status.has_value()) << mode;
        EXPECT_NE(*status, 0) << mode;
        const std::string text = run.Stderr();
        EXPECT_NE(text.find("display"), std::string::npos) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    }
    EXPECT_FALSE(HasRecord(config));
}

TEST(ProgramArguments, RenderNeedsNoDisplayAndNeverStoresTheFrameRate) {
    const TempFolder config;
    const std::string out = config.Path() + "/frame.png";
    ProgramRun run({"--render", out, "--frames", "2", "--size", "64x48", "--seed", "3"},
                   config.Path(), {{"DISPLAY", ""}});
    ASSERT_TRUE(run.WaitExit(kStartMs).has_value());
    EXPECT_FALSE(HasRecord(config));
}

TEST(ProgramArguments, TheTraceNeverWritesThroughALinkLeftInItsFolder) {
    const TempFolder config;
    const TempFolder shared; // as /tmp is: anyone may leave a link there
    const std::string precious = config.Path() + "/precious";
    std::ofstream(precious) << "my notes\n";
    ASSERT_EQ(symlink(precious.c_str(), (shared.Path() + "/trace.txt").c_str()), 0);
    ProgramRun run({"--render", config.Path() + "/x.png", "--size", "16x16"}, config.Path(),
                   {{"DISPLAY", ""}, {"TOVNTEMP", shared.Path()}});
    ASSERT_EQ(run.WaitExit(kStartMs), std::optional<int>(0)) << run.Stderr();
    std::ifstream in(precious);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "my notes\n");
    EXPECT_NE(run.Stderr().find("symbolic link"), std::string::npos) << run.Stderr();
}

TEST(ProgramArguments, RunsStartedTogetherWithoutASeedDrawDifferentScenes) {
    // One saver per monitor, started by the daemon at the same moment.
    const TempFolder first;
    const TempFolder second;
    std::vector<std::unique_ptr<ProgramRun>> runs;
    for (const TempFolder* folder : {&first, &second}) {
        runs.push_back(std::make_unique<ProgramRun>(
            std::vector<std::string>{"--render", folder->Path() + "/x.png", "--size", "16x16"},
            folder->Path(),
            std::map<std::string, std::string>{{"DISPLAY", ""}, {"TOVNTEMP", folder->Path()}}));
    }
    std::vector<std::string> seeds;
    for (size_t i = 0; i < runs.size(); ++i) {
        ASSERT_EQ(runs[i]->WaitExit(kStartMs), std::optional<int>(0)) << runs[i]->Stderr();
        std::ifstream in((i == 0 ? first : second).Path() + "/trace.txt");
        std::string line;
        std::getline(in, line);
        const std::string mark = "app line 91 : m_Rand.seed() = ";
        const size_t at = line.find(mark);
        ASSERT_NE(at, std::string::npos) << line;
        seeds.push_back(line.substr(at + mark.size()));
    }
    EXPECT_NE(seeds[0], seeds[1]);
}

TEST(ProgramArguments, RunsThatStoreNothingCreateNoSettingsFolder) {
    const TempFolder home;
    const std::vector<std::vector<std::string>> runs = {
        {"--render", home.Path() + "/x.png", "--size", "16x16"},
        {"--bench", "--scenes", "1", "--frames", "1", "--size", "16x16"}};
    for (const auto& args : runs) {
        // The folder under HOME, as without XDG_CONFIG_HOME; and one XDG_CONFIG_HOME names.
        ProgramRun plain(args, home.Path(),
                         {{"DISPLAY", ""}, {"XDG_CONFIG_HOME", ""}, {"HOME", home.Path()}});
        EXPECT_EQ(plain.WaitExit(kStartMs), std::optional<int>(0)) << plain.Stderr();
        ProgramRun named(args, home.Path(),
                         {{"DISPLAY", ""}, {"XDG_CONFIG_HOME", home.Path() + "/xdg"}});
        EXPECT_EQ(named.WaitExit(kStartMs), std::optional<int>(0)) << named.Stderr();
        EXPECT_FALSE(std::filesystem::exists(home.Path() + "/.config")) << args[0];
        EXPECT_FALSE(std::filesystem::exists(home.Path() + "/xdg")) << args[0];
    }
}
