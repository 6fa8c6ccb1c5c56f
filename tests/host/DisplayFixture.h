#pragma once

// gtest first: the X headers define macros (None, Bool) that its templates use as names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

// Fixtures that drive the real program against the test's X server. X errors are ignored:
// the program's windows may go at any moment. Without a server the test is skipped, so a
// derived SetUp returns when IsSkipped().
class DisplayFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_Display = XOpenDisplay(nullptr);
        if (m_Display == nullptr)
            GTEST_SKIP() << "no X display";
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        m_Root = DefaultRootWindow(m_Display);
    }

    void TearDown() override {
        if (m_Display != nullptr)
            XCloseDisplay(m_Display);
    }

    // A key press as the server would deliver it to window.
    void SendKey(Window window, KeySym key) {
        XEvent event{};
        event.xkey.type = KeyPress;
        event.xkey.display = m_Display;
        event.xkey.window = window;
        event.xkey.root = m_Root;
        event.xkey.same_screen = True;
        event.xkey.keycode = XKeysymToKeycode(m_Display, key);
        XSendEvent(m_Display, window, True, KeyPressMask, &event);
        XSync(m_Display, False);
    }

    // A click of the first button as the server would deliver it to window.
    void SendButton(Window window) {
        XEvent event{};
        event.xbutton.type = ButtonPress;
        event.xbutton.display = m_Display;
        event.xbutton.window = window;
        event.xbutton.root = m_Root;
        event.xbutton.button = Button1;
        event.xbutton.same_screen = True;
        XSendEvent(m_Display, window, True, ButtonPressMask, &event);
        XSync(m_Display, False);
    }

    Display* m_Display = nullptr;
    Window m_Root = 0;
};
