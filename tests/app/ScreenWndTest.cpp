#include "app/ScreenWnd.h"

#include "scene/SceneHost.h"

#include <gtest/gtest.h>

namespace {

// A host with no window system behind it: counts the closes the window asks for.
class FakeHost : public SceneHost {
public:
    GLSetup CreateGLContext() override { return GLSetup::Ok; }
    void ReleaseGLContext() override {}
    bool InputPending() override { return pending; }
    void WaitForInput(int) override {}
    void SwapBuffers() override {}
    void RequestClose() override { ++closes; }

    bool pending = false;
    int closes = 0;
};

} // namespace

TEST(ScreenWnd, MouseMovesCloseOnlyBeyondTwentyPixels) {
    FakeHost host;
    CScreenWnd wnd(host);
    wnd.OnMouseMove(500, 400); // the first report only records the position
    EXPECT_EQ(host.closes, 0);
    wnd.OnMouseMove(520, 380);
    wnd.OnMouseMove(480, 420);
    EXPECT_EQ(host.closes, 0);
    EXPECT_FALSE(wnd.IsStopped());
    wnd.OnMouseMove(500, 421);
    EXPECT_EQ(host.closes, 1);
    EXPECT_TRUE(wnd.IsClosing());
    EXPECT_TRUE(wnd.IsStopped());
}

TEST(ScreenWnd, SlowDriftAccumulatesFromTheReferencePoint) {
    FakeHost host;
    CScreenWnd wnd(host);
    wnd.OnMouseMove(0, 0);
    for (int x = 1; x <= 20; ++x)
        wnd.OnMouseMove(x, 0);
    EXPECT_EQ(host.closes, 0);
    wnd.OnMouseMove(21, 0);
    EXPECT_EQ(host.closes, 1);
}

TEST(ScreenWnd, KeysButtonsAndDeactivationCloseOnce) {
    for (int kind = 0; kind < 3; ++kind) {
        FakeHost host;
        CScreenWnd wnd(host);
        if (kind == 0)
            wnd.OnKeyDown();
        else if (kind == 1)
            wnd.OnButtonDown();
        else
            wnd.OnDeactivate();
        EXPECT_EQ(host.closes, 1) << kind;
        // Once closing, further input asks for nothing more.
        wnd.OnKeyDown();
        wnd.OnButtonDown();
        wnd.OnMouseMove(0, 0);
        wnd.OnMouseMove(900, 900);
        EXPECT_FALSE(wnd.CloseQuery());
        EXPECT_EQ(host.closes, 1) << kind;
    }
}

TEST(ScreenWnd, RefusedPasswordResumesDrawingAndAsksAgain) {
    FakeHost host;
    CScreenWnd wnd(host);
    int asked = 0;
    bool accept = false;
    bool stoppedWhileAsking = false;
    bool reentered = true;
    wnd.SetPasswordCheck([&] {
        ++asked;
        stoppedWhileAsking = wnd.IsStopped();
        // Input that arrives while the dialog is up must not start a second query.
        reentered = wnd.CloseQuery();
        return accept;
    });
    wnd.OnKeyDown();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(stoppedWhileAsking);
    EXPECT_FALSE(reentered);
    EXPECT_EQ(host.closes, 0);
    EXPECT_FALSE(wnd.IsStopped());
    EXPECT_FALSE(wnd.IsClosing());
    EXPECT_FALSE(wnd.IsChecking());

    accept = true;
    wnd.OnButtonDown();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(host.closes, 1);
    EXPECT_TRUE(wnd.IsClosing());
}

TEST(ScreenWnd, CanDrawNeedsNoInputAndNoStop) {
    FakeHost host;
    CScreenWnd wnd(host);
    EXPECT_TRUE(wnd.CanDraw());
    host.pending = true;
    EXPECT_FALSE(wnd.CanDraw());
    host.pending = false;
    wnd.OnDestroy();
    EXPECT_FALSE(wnd.CanDraw());
}

TEST(ScreenWnd, TheNamedDrawingWindowPausesWhileAsking) {
    FakeHost host;
    CScreenWnd wnd(host);
    CSceneWnd first(host);
    bool firstStopped = false;
    wnd.SetDrawingWindow([&] { return &first; });
    wnd.SetPasswordCheck([&] {
        firstStopped = first.IsStopped();
        return false;
    });
    wnd.OnKeyDown();
    EXPECT_TRUE(firstStopped);
    EXPECT_FALSE(wnd.IsStopped());
    EXPECT_FALSE(first.IsStopped()); // resumed on the refusal
}
