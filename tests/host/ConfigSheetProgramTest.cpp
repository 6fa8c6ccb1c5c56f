// gtest first: the X headers define macros (None, Bool) that its templates use as names.
#include <gtest/gtest.h>

#include "DisplayFixture.h"
#include "ProgramRun.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

// A top-level window titled "Kinetora Screensaver" (the sheet), or 0.
Window FindSheet(Display* display) {
    Window root = 0;
    Window up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &up, &children, &count) == 0)
        return 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes{};
        if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
            if (std::strcmp(name, "Kinetora Screensaver") == 0 &&
                XGetWindowAttributes(display, children[i], &attributes) != 0 &&
                attributes.map_state == IsViewable)
                found = children[i];
            XFree(name);
        }
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

class ConfigSheetProgramTest : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        if (IsSkipped())
            return;
        // A machine that has run full screen: no speed test at start-up.
        std::filesystem::create_directories(m_Config.Path() + "/Tovenhall");
        std::ofstream(m_Config.Path() + "/Tovenhall/Kinetora.conf")
            << "[Config]\nFramesPerSecond=20\nPolygons=2000\n";
    }

    void SendEscape(Window window) {
        XSetInputFocus(m_Display, window, RevertToParent, CurrentTime);
        SendKey(window, XK_Escape);
    }

    TempFolder m_Config;
};

} // namespace

TEST_F(ConfigSheetProgramTest, OpensForEveryConfigureArgumentAndEscapeWritesNothing) {
    const std::string before = m_Config.SettingsText();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-c"}, std::vector<std::string>{}, {"/x"}}) {
        const auto start = std::chrono::steady_clock::now();
        ProgramRun run(args, m_Config.Path());
        Window sheet = 0;
        ASSERT_TRUE(WaitUntil([&] { return (sheet = FindSheet(m_Display)) != 0; }, 10000))
            << run.Stderr();
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, std::chrono::seconds(3)) << "the sheet should be up within a second";
        ASSERT_TRUE(WaitUntil(
            [&] {
                SendEscape(sheet);
                return !run.Running();
            },
            5000));
        EXPECT_EQ(run.WaitExit(1000), std::optional<int>(0)) << run.Stderr();
    }
    EXPECT_EQ(m_Config.SettingsText(), before);
}

TEST_F(ConfigSheetProgramTest, WithoutADisplayItSaysSoAndFails) {
    ProgramRun run({"-c"}, m_Config.Path(),
                   {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
    const std::optional<int> status = run.WaitExit(10000);
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(*status, 0);
    EXPECT_NE(run.Stderr().find("no display"), std::string::npos) << run.Stderr();
}

TEST_F(ConfigSheetProgramTest, ADisplayWithoutAServerSaysSoAndFails) {
    int number = 77;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)))
        ++number;
    const std::string display = ":" + std::to_string(number);
    // Alone, and after a Wayland display that is named but not there.
    for (const char* wayland : {"", "wayland-none"}) {
        ProgramRun run({"-c"}, m_Config.Path(),
                       {{"DISPLAY", display},
                        {"WAYLAND_DISPLAY", wayland},
                        {"XDG_RUNTIME_DIR", m_Config.Path()},
                        {"QT_QPA_PLATFORM", ""}});
        const std::optional<int> status = run.WaitExit(10000);
        ASSERT_TRUE(status.has_value());
        EXPECT_EQ(*status, 1) << run.Stderr();
        EXPECT_EQ(run.Stderr(), "kinetora: cannot open display '" + display + "'\n");
    }
}
