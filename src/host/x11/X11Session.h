#pragma once

#include "host/posix/RunEnd.h"

#include <X11/Xlib.h>

#include <memory>

class CSceneWnd;
class CScreenWnd;
class X11Host;
class ProfileStore;
struct CommandLine;

// The event loop of an on-screen run: handle every pending X event, then one paint of the
// scene window, repeat, until the window closes, goes away or an ending signal arrives.
class X11Session {
public:
    // screen is the full-screen window (the same object as wnd) or null.
    X11Session(X11Host& host, CSceneWnd& wnd, CScreenWnd* screen);

    void Run();
    bool Finished() const;

private:
    void Dispatch(XEvent& event);
    void OnOwnWindowEvent(XEvent& event);
    void OnWatchedWindowEvent(const XEvent& event);
    void OnFocusOut(const XFocusChangeEvent& event);
    void OnKey(XKeyEvent& event);
    void OnSize(int width, int height);
    void ReportErrors();

    X11Host& m_Host;
    CSceneWnd& m_Wnd;
    CScreenWnd* m_pScreen;
    bool m_bHasFocus = false;
    bool m_bEnded = false;
    bool m_bErrorReported = false;
};

// Runs the preview, full-screen, hosted or windowed mode. Returns the process exit status;
// failures (no display, a bad window id) print one line on standard error.
int RunOnScreen(const CommandLine& commandLine, std::unique_ptr<ProfileStore> store,
                RunEnd end = RunEnd::Return);

// Whether the X server that DISPLAY names accepts a connection (which is closed again).
bool CanOpenDisplay();
