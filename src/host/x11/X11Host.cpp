#include "host/x11/X11Host.h"

#include "host/posix/PollDeadline.h"
#include "host/posix/SignalPipe.h"
#include "host/x11/SuspendClock.h"
#include "host/x11/X11Errors.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <thread>

namespace {

std::string WindowText(Window window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

} // namespace

void X11Host::VisualInfoDeleter::operator()(XVisualInfo* info) const {
    XFree(info);
}

X11Host::X11Host(Display* display, const SignalPipe& signals, const SuspendClock& clock,
                 const Options& options)
    : m_Display(display), m_Signals(signals), m_Clock(clock), m_Options(options), m_Egl(display) {}

X11Host::~X11Host() {
    // The font lists go with the context anyway; free them tidily while we still can.
    if (m_bContext && !m_bGone && m_Egl.MakeCurrent())
        m_Fps.Release();
    m_Egl.Close();
    if (m_bGrabbed) {
        XUngrabPointer(m_Display, CurrentTime);
        XUngrabKeyboard(m_Display, CurrentTime);
    }
    if (m_bOwnWindow && !m_bGone)
        XDestroyWindow(m_Display, m_Window);
    if (m_BlankCursor != 0)
        XFreeCursor(m_Display, m_BlankCursor);
    if (m_Colormap != 0)
        XFreeColormap(m_Display, m_Colormap);
    XSync(m_Display, False);
    X11Errors::Take(); // whatever failed on the way out no longer matters
}

void X11Host::SetSize(int width, int height) {
    m_Width = width;
    m_Height = height;
}

bool X11Host::Create(std::string& error) {
    X11Errors::Take();
    const int screen = DefaultScreen(m_Display);
    const Window root = RootWindow(m_Display, screen);
    switch (m_Options.kind) {
    case Kind::FullScreen:
        return CreateOwnWindow(root, 0, 0, DisplayWidth(m_Display, screen),
                               DisplayHeight(m_Display, screen), error);
    case Kind::TopLevel:
        return CreateOwnWindow(root, 0, 0, m_Options.width, m_Options.height, error);
    case Kind::Child:
    case Kind::Adopted:
        return AdoptTarget(error);
    }
    return false;
}

// Child: a window of our own inside the target. Adopted: the target itself when its visual
// can carry GL, otherwise (a plain root window, say) a child covering it.
bool X11Host::AdoptTarget(std::string& error) {
    Window target = m_Options.target;
    if (m_Options.kind == Kind::Adopted && target == 0)
        target = DefaultRootWindow(m_Display);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(m_Display, target, &attributes) == 0 ||
        X11Errors::Sync(m_Display).count != 0) {
        error = "there is no window " + WindowText(target);
        return false;
    }
    // Nothing can be drawn in it, nor in a child of it.
    if (attributes.c_class == InputOnly) {
        error = "window " + WindowText(target) + " is input-only: nothing can be drawn in it";
        return false;
    }
    // Our own mask on a window someone else owns: its resizes and its end.
    XSelectInput(m_Display, target, StructureNotifyMask | ExposureMask);
    if (X11Errors::Sync(m_Display).count != 0) {
        error = "window " + WindowText(target) + " went away";
        return false;
    }
    m_Watched = target;

    if (m_Options.kind == Kind::Adopted &&
        m_Egl.TakeVisual(XVisualIDFromVisual(attributes.visual))) {
        m_Window = target;
        SetSize(attributes.width, attributes.height);
        return true;
    }
    return CreateOwnWindow(target, 0, 0, attributes.width, attributes.height, error);
}

void X11Host::ChooseVisual() {
    XVisualInfo wanted{};
    int count = 0;
    if (m_Egl.ChooseVisual(wanted.visualid))
        m_Visual.reset(XGetVisualInfo(m_Display, VisualIDMask, &wanted, &count));
    if (!m_Visual || count < 1) {
        m_Visual.reset();
        X11Errors::ExitIfLost(m_Display);
        m_GLSetup = GLSetup::ChoosePixelFormatFailed;
    }
}

bool X11Host::CreateOwnWindow(Window parent, int x, int y, int width, int height,
                              std::string& error) {
    ChooseVisual();
    const Kind kind = m_Options.kind;

    XSetWindowAttributes attributes{};
    unsigned long mask = CWBackPixel | CWBorderPixel | CWEventMask;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    attributes.event_mask = StructureNotifyMask | ExposureMask;
    if (kind == Kind::FullScreen) {
        attributes.event_mask |=
            KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask;
        attributes.override_redirect = True;
        m_BlankCursor = MakeBlankCursor();
        attributes.cursor = m_BlankCursor;
        mask |= CWOverrideRedirect | CWCursor;
    } else if (kind == Kind::TopLevel) {
        attributes.event_mask |= KeyPressMask;
    }
    Visual* visual = CopyFromParent;
    int depth = CopyFromParent;
    if (m_Visual) {
        visual = m_Visual->visual;
        depth = m_Visual->depth;
        m_Colormap =
            XCreateColormap(m_Display, RootWindow(m_Display, m_Visual->screen), visual, AllocNone);
        attributes.colormap = m_Colormap;
        mask |= CWColormap;
    }
    m_Window = XCreateWindow(m_Display, parent, x, y, static_cast<unsigned>(std::max(width, 1)),
                             static_cast<unsigned>(std::max(height, 1)), 0, depth, InputOutput,
                             visual, mask, &attributes);
    const X11Errors::Record failed = X11Errors::Sync(m_Display);
    if (m_Window == 0 || failed.count != 0) {
        error = "cannot create a window: " + X11Errors::Describe(m_Display, failed);
        m_Window = 0;
        return false;
    }
    m_bOwnWindow = true;
    SetSize(width, height);
    SetNames();
    if (kind == Kind::TopLevel) {
        m_WmDeleteWindow = XInternAtom(m_Display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(m_Display, m_Window, &m_WmDeleteWindow, 1);
    }
    if (kind == Kind::FullScreen)
        XMapRaised(m_Display, m_Window);
    else
        XMapWindow(m_Display, m_Window);
    XFlush(m_Display);
    return true;
}

void X11Host::SetNames() const {
    XStoreName(m_Display, m_Window, "Kinetora");
    XClassHint hint{};
    char name[] = "kinetora";
    char className[] = "Kinetora";
    hint.res_name = name;
    hint.res_class = className;
    XSetClassHint(m_Display, m_Window, &hint);
}

Cursor X11Host::MakeBlankCursor() const {
    const char bits[1] = {0};
    const Window root = DefaultRootWindow(m_Display);
    const Pixmap blank = XCreateBitmapFromData(m_Display, root, bits, 1, 1);
    XColor black{};
    const Cursor cursor = XCreatePixmapCursor(m_Display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(m_Display, blank);
    return cursor;
}

void X11Host::GrabInput() {
    if (m_bGrabbed || m_bGone)
        return;
    XSetInputFocus(m_Display, m_Window, RevertToParent, CurrentTime);
    // Another client may hold a grab for a moment (a menu, a key still down): retry briefly.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int keyboard =
            XGrabKeyboard(m_Display, m_Window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
        const int pointer =
            XGrabPointer(m_Display, m_Window, True, ButtonPressMask | PointerMotionMask,
                         GrabModeAsync, GrabModeAsync, None, m_BlankCursor, CurrentTime);
        if (keyboard == GrabSuccess && pointer == GrabSuccess) {
            m_bGrabbed = true;
            return;
        }
        if (keyboard == GrabSuccess)
            XUngrabKeyboard(m_Display, CurrentTime);
        if (pointer == GrabSuccess)
            XUngrabPointer(m_Display, CurrentTime);
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    std::fputs("kinetora: could not grab the keyboard and pointer\n", stderr);
}

void X11Host::Withdraw() {
    if (m_bGrabbed) {
        XUngrabPointer(m_Display, CurrentTime);
        XUngrabKeyboard(m_Display, CurrentTime);
        m_bGrabbed = false;
    }
    if (m_bOwnWindow && !m_bGone)
        XUnmapWindow(m_Display, m_Window);
    XFlush(m_Display);
}

SceneHost::GLSetup X11Host::CreateGLContext() {
    if (m_GLSetup != GLSetup::Ok)
        return m_GLSetup;
    if (m_Window == 0) {
        m_GLSetup = GLSetup::SetPixelFormatFailed;
        return m_GLSetup;
    }
    // The driver does not survive a window that goes while it makes the surface (a daemon's
    // window can go at any moment): nobody else's requests run until it has one.
    XGrabServer(m_Display);
    XWindowAttributes attributes{};
    const bool there = XGetWindowAttributes(m_Display, m_Window, &attributes) != 0;
    const bool surface = there && m_Egl.CreateSurface(m_Window);
    XUngrabServer(m_Display);
    XFlush(m_Display);
    // Gone before the first frame: the run ends as it does when the window goes later.
    if (!there) {
        X11Errors::ExitIfLost(m_Display);
        X11Errors::Take();
        MarkGone();
        return GLSetup::Ok;
    }
    if (!surface) {
        X11Errors::ExitIfLost(m_Display);
        m_GLSetup = GLSetup::SetPixelFormatFailed;
        return m_GLSetup;
    }
    m_bContext = m_Egl.CreateContext();
    X11Errors::Sync(m_Display);
    if (!m_bContext) {
        X11Errors::ExitIfLost(m_Display);
        m_GLSetup = GLSetup::CreateContextFailed;
        return m_GLSetup;
    }
    if (!m_Egl.MakeCurrent()) {
        X11Errors::ExitIfLost(m_Display);
        m_GLSetup = GLSetup::MakeCurrentFailed;
        return m_GLSetup;
    }
    return GLSetup::Ok;
}

void X11Host::ReleaseGLContext() {
    if (m_bContext)
        m_Egl.Release();
}

bool X11Host::InputPending() {
    m_Clock.Touch();
    if (SignalPipe::Terminated() || m_bCloseRequested || m_bGone)
        return true;
    return XEventsQueued(m_Display, QueuedAfterFlush) > 0;
}

void X11Host::WaitForInput(int ms) {
    if (ms > 0)
        WaitForEvent(ms);
}

void X11Host::WaitForEvent(int ms) {
    const PollDeadline deadline(ms);
    pollfd fds[2] = {{ConnectionNumber(m_Display), POLLIN, 0}, {m_Signals.ReadFd(), POLLIN, 0}};
    const nfds_t count = m_Signals.ReadFd() >= 0 ? 2 : 1;
    while (!InputPending()) {
        int timeout = -1;
        if (!deadline.Left(timeout))
            return;
        if (poll(fds, count, timeout) == 0)
            return;
        // Readable (or interrupted): InputPending reads what came.
    }
}

void X11Host::SwapBuffers() {
    if (m_bGone || !m_bContext)
        return;
    if (m_Options.showFps)
        m_Fps.Draw(m_Display, m_Width, m_Height);
    m_Egl.Swap();
    ++m_Swaps;
}
