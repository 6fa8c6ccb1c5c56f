#pragma once

#include "host/x11/FpsOverlay.h"
#include "host/x11/X11Egl.h"
#include "scene/SceneHost.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <string>

class SignalPipe;
class SuspendClock;

// A scene host on one X window with an EGL context. It makes (or adopts) the window the scene
// draws in; the session feeds its events to the scene window.
class X11Host : public SceneHost {
public:
    enum class Kind {
        FullScreen, // override-redirect, covering the screen, input grabbed
        Child,      // a child covering the target window (preview)
        Adopted,    // the target window itself, with its visual (hosted by a daemon)
        TopLevel,   // a normal managed window
    };

    struct Options {
        Kind kind = Kind::TopLevel;
        Window target = 0; // Child: the parent; Adopted: the window (0: the root window)
        int width = 800;   // TopLevel only
        int height = 600;
        bool showFps = false;
    };

    X11Host(Display* display, const SignalPipe& signals, const SuspendClock& clock,
            const Options& options);
    ~X11Host() override;
    X11Host(const X11Host&) = delete;
    X11Host& operator=(const X11Host&) = delete;

    // Makes or adopts the window. False, with a one-line reason, when the target window does
    // not exist or cannot be drawn in. A failure to find a GL visual is not reported here but
    // by CreateGLContext, so the shell shows its own message.
    bool Create(std::string& error);

    GLSetup CreateGLContext() override;
    void ReleaseGLContext() override;
    bool InputPending() override;
    void WaitForInput(int ms) override;
    void SwapBuffers() override;
    void RequestClose() override { m_bCloseRequested = true; }

    // Blocks until an X event or an ending signal arrives, or ms pass (-1: no limit).
    void WaitForEvent(int ms);

    Display* Dpy() const { return m_Display; }
    // The frame-rate lines drawn before each swap when the options ask for them.
    FpsOverlay& Fps() { return m_Fps; }
    Window DrawWindow() const { return m_Window; }
    // The window whose resizes and destruction matter besides our own (Child: the parent).
    Window WatchedWindow() const { return m_Watched; }
    Kind GetKind() const { return m_Options.kind; }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    void SetSize(int width, int height);
    int Swaps() const { return m_Swaps; }

    bool CloseRequested() const { return m_bCloseRequested; }
    bool GLFailed() const { return m_GLSetup != GLSetup::Ok; }

    // Our window (or the one we drew in) is gone: nothing may be drawn or destroyed any more.
    void MarkGone() { m_bGone = true; }
    bool IsGone() const { return m_bGone; }

    // Full screen: grabs keyboard and pointer and takes the focus (once the window is mapped).
    void GrabInput();
    // The run has ended: an own window leaves the screen and gives the input back at once,
    // before the settings are written (which may wait for another process's lock).
    void Withdraw();
    // Top level: the atom of the window manager's close message.
    Atom DeleteWindowAtom() const { return m_WmDeleteWindow; }

private:
    struct VisualInfoDeleter {
        void operator()(XVisualInfo* info) const;
    };
    using VisualInfoPtr = std::unique_ptr<XVisualInfo, VisualInfoDeleter>;

    bool AdoptTarget(std::string& error);
    bool CreateOwnWindow(Window parent, int x, int y, int width, int height, std::string& error);
    void ChooseVisual();
    void SetNames() const;
    Cursor MakeBlankCursor() const;

    Display* m_Display;
    const SignalPipe& m_Signals;
    const SuspendClock& m_Clock;
    Options m_Options;

    VisualInfoPtr m_Visual;
    GLSetup m_GLSetup = GLSetup::Ok; // what CreateGLContext reports
    Window m_Window = 0;
    Window m_Watched = 0;
    bool m_bOwnWindow = false;
    Colormap m_Colormap = 0;
    Cursor m_BlankCursor = 0;
    Atom m_WmDeleteWindow = 0;
    X11Egl m_Egl;
    bool m_bContext = false;
    FpsOverlay m_Fps;
    int m_Width = 0;
    int m_Height = 0;
    int m_Swaps = 0;
    bool m_bCloseRequested = false;
    bool m_bGone = false;
    bool m_bGrabbed = false;
};
