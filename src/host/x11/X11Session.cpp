#include "host/x11/X11Session.h"

#include "app/CommandLine.h"
#include "app/RunSession.h"
#include "app/SaverApp.h"
#include "app/ScreenWnd.h"
#include "core/ProfileStore.h"
#include "core/StopRequest.h"
#include "core/tvTimer.h"
#include "host/posix/SignalPipe.h"
#include "host/x11/SuspendClock.h"
#include "host/x11/X11Errors.h"
#include "host/x11/X11Host.h"
#include "scene/SceneWnd.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace {

// When a paint drew nothing, the next one waits this long for an event: never spin.
constexpr int kIdleWaitMs = 40;

struct DisplayCloser {
    void operator()(Display* display) const {
        X11Errors::Forget();
        XCloseDisplay(display);
    }
};

X11Host::Options HostOptions(const CommandLine& cl) {
    X11Host::Options options;
    options.showFps = cl.showFps;
    switch (cl.mode) {
    case CommandLine::Mode::Saver:
        options.kind = X11Host::Kind::FullScreen;
        break;
    case CommandLine::Mode::Preview:
        options.kind = X11Host::Kind::Child;
        options.target = cl.windowId;
        break;
    case CommandLine::Mode::Hosted:
        options.kind = X11Host::Kind::Adopted;
        options.target = cl.useRoot ? 0 : cl.windowId;
        break;
    default:
        options.kind = X11Host::Kind::TopLevel;
        if (cl.width > 0) {
            options.width = cl.width;
            options.height = cl.height;
        }
        break;
    }
    return options;
}

// While a full-screen run decodes a photograph or builds texture levels between two looks at
// its queue, a key or button already waiting ends that work at once instead of after it. The
// event stays queued, so the loop then closes the window by the usual rules.
class EndingInputWatch {
public:
    explicit EndingInputWatch(Display* display) {
        s_Display = display;
        StopRequest::SetInputCheck(&Waiting);
    }
    ~EndingInputWatch() {
        StopRequest::SetInputCheck(nullptr);
        s_Display = nullptr;
    }
    EndingInputWatch(const EndingInputWatch&) = delete;
    EndingInputWatch& operator=(const EndingInputWatch&) = delete;

private:
    // Takes nothing out of the queue: it only notes what it sees.
    static Bool Note(Display*, XEvent* event, XPointer seen) {
        if (event->type == KeyPress || event->type == ButtonPress)
            *reinterpret_cast<bool*>(seen) = true;
        return False;
    }
    static bool Waiting() {
        bool seen = false;
        XEvent unused;
        XCheckIfEvent(s_Display, &unused, &Note, reinterpret_cast<XPointer>(&seen));
        return seen;
    }

    static inline Display* s_Display = nullptr;
};

} // namespace

X11Session::X11Session(X11Host& host, CSceneWnd& wnd, CScreenWnd* screen)
    : m_Host(host), m_Wnd(wnd), m_pScreen(screen) {
    m_Host.Fps().Follow(&wnd);
}

bool X11Session::Finished() const {
    return m_bEnded || SignalPipe::Terminated() || m_Host.CloseRequested() || m_Host.IsGone();
}

void X11Session::Run() {
    Display* display = m_Host.Dpy();
    while (!Finished()) {
        while (!Finished() && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            Dispatch(event);
        }
        ReportErrors();
        if (Finished())
            break;
        if (m_Wnd.NeedsPaint() && !m_Wnd.IsStopped()) {
            const int swaps = m_Host.Swaps();
            m_Wnd.OnPaint();
            if (m_Host.Swaps() == swaps)
                m_Host.WaitForEvent(kIdleWaitMs);
        } else {
            m_Host.WaitForEvent(-1);
        }
    }
}

void X11Session::Dispatch(XEvent& event) {
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping); // keeps Escape and q where they are
        return;
    }
    if (event.xany.window == m_Host.DrawWindow())
        OnOwnWindowEvent(event);
    else if (event.xany.window == m_Host.WatchedWindow())
        OnWatchedWindowEvent(event);
}

void X11Session::OnOwnWindowEvent(XEvent& event) {
    switch (event.type) {
    case ConfigureNotify:
        OnSize(event.xconfigure.width, event.xconfigure.height);
        break;
    case Expose:
        if (event.xexpose.count == 0)
            m_Wnd.Invalidate();
        break;
    case DestroyNotify:
        m_Host.MarkGone();
        break;
    case MapNotify:
        if (m_pScreen != nullptr)
            m_Host.GrabInput();
        break;
    case UnmapNotify:
        if (m_pScreen != nullptr)
            m_pScreen->OnDeactivate();
        break;
    case FocusIn:
        m_bHasFocus = true;
        break;
    case FocusOut:
        OnFocusOut(event.xfocus);
        break;
    case KeyPress:
        OnKey(event.xkey);
        break;
    case ButtonPress:
        if (m_pScreen != nullptr)
            m_pScreen->OnButtonDown();
        break;
    case MotionNotify:
        if (m_pScreen != nullptr)
            m_pScreen->OnMouseMove(event.xmotion.x_root, event.xmotion.y_root);
        break;
    case ClientMessage:
        if (m_Host.DeleteWindowAtom() != 0 &&
            static_cast<Atom>(event.xclient.data.l[0]) == m_Host.DeleteWindowAtom())
            m_bEnded = true;
        break;
    default:
        break;
    }
}

// Child windows fill their parent; the run ends with the parent.
void X11Session::OnWatchedWindowEvent(const XEvent& event) {
    if (event.type == DestroyNotify) {
        m_Host.MarkGone();
    } else if (event.type == ConfigureNotify && !m_Host.IsGone()) {
        const int width = std::max(event.xconfigure.width, 1);
        const int height = std::max(event.xconfigure.height, 1);
        XResizeWindow(m_Host.Dpy(), m_Host.DrawWindow(), static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    }
}

// Only a real loss of focus counts: not the moves a grab makes, nor the pointer-root
// bookkeeping that reaches the window under the pointer when we take the focus.
void X11Session::OnFocusOut(const XFocusChangeEvent& event) {
    if (m_pScreen == nullptr || !m_bHasFocus)
        return;
    if (event.mode == NotifyGrab || event.mode == NotifyUngrab)
        return;
    if (event.detail == NotifyInferior || event.detail == NotifyPointer)
        return;
    m_bHasFocus = false;
    m_pScreen->OnDeactivate();
}

void X11Session::OnKey(XKeyEvent& event) {
    if (m_pScreen != nullptr) {
        m_pScreen->OnKeyDown();
        return;
    }
    if (m_Host.GetKind() != X11Host::Kind::TopLevel)
        return;
    const KeySym key = XLookupKeysym(&event, 0);
    if (key == XK_Escape || key == XK_q || key == XK_Q)
        m_bEnded = true;
}

void X11Session::OnSize(int width, int height) {
    if (width == m_Host.Width() && height == m_Host.Height())
        return;
    m_Host.SetSize(width, height);
    m_Wnd.OnSize(width, height);
}

void X11Session::ReportErrors() {
    const X11Errors::Record errors = X11Errors::Take();
    // Drawing into a window that has just gone fails; that is how a preview ends.
    if (errors.count == 0 || m_Host.IsGone() || m_bErrorReported)
        return;
    m_bErrorReported = true;
    std::fprintf(stderr, "kinetora: X error %s (request %d, resource 0x%lx)\n",
                 X11Errors::Describe(m_Host.Dpy(), errors).c_str(), errors.request,
                 errors.resource);
}

bool CanOpenDisplay() {
    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    return display != nullptr;
}

int RunOnScreen(const CommandLine& cl, std::unique_ptr<ProfileStore> store, RunEnd end) {
    const SignalPipe signals;
    const SuspendClock clock;
    const ScopedTimerClock timerClock(clock);

    X11Errors::Install();
    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "kinetora: cannot open display '%s' (try --render FILE)\n",
                     name != nullptr ? name : "");
        return 1;
    }
    X11Errors::WatchConnection(display.get());

    X11Host host(display.get(), signals, clock, HostOptions(cl));
    std::string error;
    if (!host.Create(error)) {
        std::fprintf(stderr, "kinetora: %s\n", error.c_str());
        return 1;
    }

    // A hosted run is a saver run (its frame-rate record is kept); a window is a preview.
    const bool saver = cl.mode == CommandLine::Mode::Saver || cl.mode == CommandLine::Mode::Hosted;
    const std::optional<long> seed = cl.hasSeed ? std::optional<long>(cl.seed) : std::nullopt;
    std::optional<EndingInputWatch> watch;
    if (cl.mode == CommandLine::Mode::Saver)
        watch.emplace(display.get());
    int status = 0;
    {
        RunSession session(saver ? ModeSaver : ModePreview, seed, std::move(store));
        CScreenWnd* screen = nullptr;
        bool created = false;
        if (cl.mode == CommandLine::Mode::Saver) {
            auto owned = std::make_unique<CScreenWnd>(host);
            screen = owned.get();
            created = session.Open(std::move(owned), host.Width(), host.Height(), false);
        } else {
            created =
                session.Open(std::make_unique<CSceneWnd>(host), host.Width(), host.Height(), false);
        }
        if (created) {
            X11Session x11(host, session.Wnd(), screen);
            x11.Run();
            host.Withdraw();
        } else {
            status = 1;
        }
    } // the scene, the window, then the settings (which write their record)
    if (host.GLFailed())
        status = 1;
    if (end == RunEnd::ExitProcess) {
        XFlush(display.get());
        std::fflush(nullptr);
        _exit(status);
    }
    return status;
}
