#include "host/win32/Win32Host.h"

#include "app/ScreenWnd.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

// Runs what is queued for hwnd, so each check starts from an empty queue.
void Drain(HWND hwnd) {
    MSG msg;
    while (PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

bool ClosePosted(HWND hwnd) {
    MSG msg;
    return PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
}

TEST(Win32Host, PreviewFillsItsParentSeesInputWithoutTakingItAndEndsWithTheParent) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 120, 90, nullptr, nullptr,
                                  Instance(), nullptr);
    ASSERT_NE(parent, nullptr);
    Win32Host host(Instance(), Win32Host::Kind::Child, parent);
    std::string error;
    ASSERT_TRUE(host.Create(error)) << error;
    EXPECT_EQ(GetParent(host.Hwnd()), parent);
    EXPECT_EQ(host.Width(), 120);
    EXPECT_EQ(host.Height(), 90);
    ASSERT_EQ(host.CreateGLContext(), SceneHost::GLSetup::Ok);
    EXPECT_FALSE(host.GLFailed());
    // The context draws into the child (read from the back buffer, before the swap).
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[3] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(60, 45, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    host.SwapBuffers();
    EXPECT_EQ(host.Swaps(), 1);

    Drain(host.Hwnd());
    EXPECT_FALSE(host.InputPending());
    PostMessageA(host.Hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(host.InputPending());
    EXPECT_TRUE(host.InputPending()); // a peek leaves the message where it is

    host.ReleaseGLContext();
    DestroyWindow(parent); // as the display settings do when they close
    EXPECT_TRUE(host.IsGone());
    EXPECT_TRUE(host.InputPending()); // a burst still running stops at once
}

TEST(Win32Host, PreviewOfAWindowThatDoesNotExistFailsWithTheReason) {
    Win32Host host(Instance(), Win32Host::Kind::Child,
                   reinterpret_cast<HWND>(static_cast<UINT_PTR>(12345)));
    std::string error;
    EXPECT_FALSE(host.Create(error));
    EXPECT_EQ(error, "no window 12345 to draw the preview in");
}

// The desktop is never destroyed: a preview drawn in it would never end.
TEST(Win32Host, PreviewIntoTheDesktopIsRefused) {
    std::vector<HWND> desktops = {GetDesktopWindow()};
    if (GetShellWindow() != nullptr)
        desktops.push_back(GetShellWindow());
    for (HWND desktop : desktops) {
        Win32Host host(Instance(), Win32Host::Kind::Child, desktop);
        std::string error;
        EXPECT_FALSE(host.Create(error));
        EXPECT_EQ(error, "window " + std::to_string(reinterpret_cast<UINT_PTR>(desktop)) +
                             " is the desktop: no preview is drawn in it");
        EXPECT_EQ(host.Hwnd(), nullptr);
    }
}

// The full-screen window's input rules, through its window procedure.
class Win32FullScreen : public testing::Test {
protected:
    Win32FullScreen() : host(Instance(), Win32Host::Kind::FullScreen), screen(host) {
        std::string error;
        created = host.Create(error);
        if (created) {
            host.Attach(&screen, &screen);
            Drain(host.Hwnd());
        }
    }
    ~Win32FullScreen() override { host.Attach(nullptr, nullptr); }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageA(host.Hwnd(), message, wParam, lParam);
    }
    LRESULT MoveTo(int x, int y) { return Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

    Win32Host host;
    CScreenWnd screen;
    bool created = false;
};

TEST_F(Win32FullScreen, CoversTheVirtualScreenAndHidesTheCursor) {
    ASSERT_TRUE(created);
    EXPECT_EQ(host.Width(), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(host.Height(), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_NE(GetWindowLongA(host.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(host.Hwnd()), HTCLIENT), TRUE);
}

TEST_F(Win32FullScreen, MovesOfTwentyPixelsAreToleratedAndTwentyOneEndTheRun) {
    ASSERT_TRUE(created);
    MoveTo(500, 300); // the first report only records where the pointer is
    MoveTo(520, 320);
    MoveTo(480, 280);
    EXPECT_FALSE(ClosePosted(host.Hwnd()));
    MoveTo(521, 300);
    EXPECT_TRUE(ClosePosted(host.Hwnd()));
    EXPECT_TRUE(screen.IsClosing());
}

TEST_F(Win32FullScreen, SystemCloseIsIgnoredButAnyKeyEndsTheRunOnce) {
    ASSERT_TRUE(created);
    Send(WM_SYSCOMMAND, SC_CLOSE, 0);
    Send(WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    EXPECT_TRUE(IsWindow(host.Hwnd()));
    EXPECT_FALSE(ClosePosted(host.Hwnd()));
    Send(WM_SYSKEYDOWN, VK_MENU, 0);
    EXPECT_TRUE(ClosePosted(host.Hwnd()));
    Send(WM_LBUTTONDOWN, 0, 0); // a close is already under way: no second one
    EXPECT_FALSE(ClosePosted(host.Hwnd()));
}

TEST_F(Win32FullScreen, LosingTheActivationEndsTheRun) {
    ASSERT_TRUE(created);
    Send(WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(ClosePosted(host.Hwnd()));
}

} // namespace
