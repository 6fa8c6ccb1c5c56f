#include "host/wayland/WaylandSession.h"

#include "app/CommandLine.h"
#include "app/RunSession.h"
#include "app/ScreenWnd.h"
#include "core/ProfileStore.h"
#include "core/StopRequest.h"
#include "host/posix/PollDeadline.h"
#include "host/posix/SignalPipe.h"
#include "host/wayland/WaylandEgl.h"
#include "scene/SaverShapes.h"
#include "scene/SceneWnd.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

// When a paint drew nothing, the next one waits this long for an event: never spin.
constexpr int kIdleWaitMs = 40;

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr char kLost[] = "lost the connection to the Wayland compositor";

// While a full-screen run decodes a photograph or builds texture levels, a key or button
// that arrived ends that work at once instead of after it. The input stays queued, so the
// loop then ends the run by the usual rules.
class EndingInputWatch {
public:
    explicit EndingInputWatch(WaylandClient& client) {
        s_pClient = &client;
        StopRequest::SetInputCheck(&Waiting);
    }
    ~EndingInputWatch() {
        StopRequest::SetInputCheck(nullptr);
        s_pClient = nullptr;
    }
    EndingInputWatch(const EndingInputWatch&) = delete;
    EndingInputWatch& operator=(const EndingInputWatch&) = delete;

private:
    static bool Waiting() {
        s_pClient->Dispatch();
        return s_pClient->KeyOrButtonQueued();
    }

    static inline WaylandClient* s_pClient = nullptr;
};

} // namespace

WaylandSession::WaylandSession(WaylandClient& client, const WaylandEgl& egl, bool fullScreen)
    : m_Client(client), m_Egl(egl), m_bFullScreen(fullScreen) {
    m_Input.reserve(256);
    m_Client.SetOutputWatcher(this);
}

WaylandSession::~WaylandSession() {
    m_Client.SetOutputWatcher(nullptr);
}

std::unique_ptr<WaylandHost> WaylandSession::MakeHost(const WaylandOutput* output, int width,
                                                      int height, std::string& error) const {
    WaylandHost::Options options;
    options.output = output;
    options.width = width;
    options.height = height;
    if (!m_bFullScreen)
        options.kind = WaylandHost::Kind::TopLevel;
    else if (m_Client.LayerShell() != nullptr)
        options.kind = WaylandHost::Kind::Layer;
    else
        options.kind = WaylandHost::Kind::FullScreen;
    auto host = std::make_unique<WaylandHost>(m_Client, m_Egl, options);
    if (!host->Create(error))
        return nullptr;
    return host;
}

bool WaylandSession::Create(int width, int height, std::string& error) {
    if (m_bFullScreen && m_Client.LayerShell() == nullptr)
        std::fputs("kinetora: the Wayland compositor has no layer shell: full-screen windows "
                   "instead, and the desktop may keep its own shield above them\n",
                   stderr);
    const bool perOutput = m_bFullScreen && !m_Client.Outputs().empty();
    // By index: an output announced while the first surfaces wait for their sizes is added
    // to the list, and gets its surface here.
    m_bCreating = true;
    for (size_t i = 0; i == 0 || (perOutput && i < m_Client.Outputs().size()); ++i) {
        const WaylandOutput* output = perOutput ? m_Client.Outputs()[i].get() : nullptr;
        auto host = MakeHost(output, width, height, error);
        if (!host) {
            m_bCreating = false;
            return false;
        }
        host->SetTurns(this);
        m_Surfaces.push_back(std::make_unique<Entry>());
        m_Surfaces.back()->host = std::move(host);
    }
    m_bCreating = false;
    return true;
}

void WaylandSession::Attach(RunSession& run, CSceneWnd& first) {
    m_pRun = &run;
    m_Surfaces.front()->wnd = &first;
    m_Surfaces.front()->opened = true;
    OpenWindows();
}

// Between paints only: a window's creation makes its own context current.
void WaylandSession::OpenWindows() {
    for (size_t i = 0; i < m_Surfaces.size(); ++i) {
        Entry& entry = *m_Surfaces[i];
        if (!entry.host && entry.newOutput != nullptr) {
            // Its name and place first.
            wl_display_roundtrip(m_Client.Display());
            if (entry.newOutput == nullptr)
                continue; // gone meanwhile
            std::string error;
            entry.host = MakeHost(entry.newOutput, 0, 0, error);
            if (!entry.host) {
                std::fprintf(stderr, "kinetora: output %s: %s\n", entry.newOutput->Name().c_str(),
                             error.c_str());
                entry.dropped = true;
                continue;
            }
            entry.host->SetTurns(this);
            entry.newOutput = nullptr;
        }
        if (m_pRun == nullptr || entry.opened || !entry.host || entry.host->Closed())
            continue;
        entry.opened = true;
        WaylandHost& host = *entry.host;
        entry.wnd =
            m_pRun->Add(std::make_unique<CScreenWnd>(host), host.Width(), host.Height(), false);
        host.TakeResize(); // the window was made at the size it has
        if (entry.wnd == nullptr)
            host.ShowBlack(); // covered all the same, where its context could be made
    }
}

// Noted only: the surface is made between paints, where no dispatch is under way.
void WaylandSession::OutputAdded(WaylandOutput& output) {
    if (!m_bFullScreen || m_bEnded || m_bCreating)
        return;
    m_Surfaces.push_back(std::make_unique<Entry>());
    m_Surfaces.back()->newOutput = &output;
}

void WaylandSession::OutputRemoved(WaylandOutput& output) {
    for (const auto& entry : m_Surfaces) {
        if (entry->newOutput == &output) {
            entry->newOutput = nullptr;
            entry->dropped = true;
        }
        if (!entry->host)
            continue;
        WaylandHost& host = *entry->host;
        if (host.Output() == &output && host.GetKind() != WaylandHost::Kind::TopLevel)
            host.MarkRemoved();
        host.ForgetOutput(&output);
    }
}

// A surface the compositor closed goes with its scene window (its scene and GL objects
// freed in its own context); the window loses its surface and so ends the run.
void WaylandSession::FreeRemoved() {
    if (!m_bFullScreen)
        return;
    for (size_t i = 0; i < m_Surfaces.size();) {
        Entry& entry = *m_Surfaces[i];
        const bool gone = entry.host ? entry.host->Closed() : entry.dropped;
        if (!gone) {
            ++i;
            continue;
        }
        if (entry.wnd != nullptr && m_pRun != nullptr)
            m_pRun->Close(*entry.wnd);
        m_Surfaces.erase(m_Surfaces.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

bool WaylandSession::SurfacesChanged() const {
    if (m_pRun == nullptr)
        return false;
    for (const auto& entry : m_Surfaces) {
        if (!entry->host || !entry->opened || (m_bFullScreen && entry->host->Closed()))
            return true;
    }
    return false;
}

bool WaylandSession::Finished() const {
    if (m_bEnded || SignalPipe::Terminated() || m_Client.Gone() || m_Surfaces.empty())
        return true;
    for (const auto& entry : m_Surfaces) {
        const WaylandHost* host = entry->host.get();
        if (host != nullptr && (host->CloseRequested() || (!m_bFullScreen && host->Closed())))
            return true;
    }
    return false;
}

WaylandSession::Entry* WaylandSession::Find(const WaylandHost& host) const {
    for (const auto& entry : m_Surfaces) {
        if (entry->host.get() == &host)
            return entry.get();
    }
    return nullptr;
}

bool WaylandSession::Due(const Entry& entry, long long now) const {
    const CSceneWnd* wnd = entry.wnd;
    if (wnd == nullptr || !wnd->NeedsPaint() || wnd->IsStopped() || entry.host->Closed() ||
        entry.host->FramePending())
        return false;
    return now >= entry.lastSwapMs + SaverShapes::FramePeriodMs - entry.drawMs;
}

int WaylandSession::UntilNextDue(const WaylandHost* except) const {
    const long long now = NowMs();
    long long next = -1;
    for (const auto& entry : m_Surfaces) {
        const CSceneWnd* wnd = entry->wnd;
        if (entry->host.get() == except || wnd == nullptr || !wnd->NeedsPaint() ||
            wnd->IsStopped() || entry->host->Closed() || entry->host->FramePending())
            continue;
        const long long at = entry->lastSwapMs + SaverShapes::FramePeriodMs - entry->drawMs;
        const long long wait = std::max(0LL, at - now);
        next = next < 0 ? wait : std::min(next, wait);
    }
    return static_cast<int>(next);
}

bool WaylandSession::PaintGuests(const WaylandHost* except) {
    if (m_bGuestTurn)
        return false;
    m_bGuestTurn = true;
    bool painted = false;
    for (size_t i = 0; i < m_Surfaces.size(); ++i) {
        Entry& entry = *m_Surfaces[i];
        const long long start = NowMs();
        if (entry.host.get() == except || !Due(entry, start))
            continue;
        const int swaps = entry.host->Swaps();
        entry.host->SetGuest(true);
        entry.wnd->OnPaint();
        entry.host->SetGuest(false);
        if (entry.host->Swaps() != swaps) {
            entry.lastSwapMs = NowMs();
            entry.drawMs =
                std::min<long long>(entry.lastSwapMs - start, SaverShapes::FramePeriodMs / 2);
            painted = true;
        }
    }
    m_bGuestTurn = false;
    return painted;
}

// The waiting surface's scene is in the middle of its burst: the guests draw into their own
// contexts, and the waiting one's context comes back before it goes on.
void WaylandSession::WaitFor(WaylandHost& waiting, int ms) {
    const PollDeadline deadline(ms);
    while (!waiting.InputPending()) {
        if (ms < 0 && !waiting.FramePending())
            return;
        if (PaintGuests(&waiting)) {
            waiting.MakeCurrent();
            continue;
        }
        int timeout = -1;
        if (!deadline.Left(timeout))
            return;
        const int next = m_bGuestTurn ? -1 : UntilNextDue(&waiting);
        if (next >= 0)
            timeout = timeout < 0 ? std::max(next, 1) : std::min(timeout, std::max(next, 1));
        m_Client.Wait(timeout);
    }
}

void WaylandSession::Run() {
    while (!Finished()) {
        m_Client.Dispatch();
        HandleInput();
        FreeRemoved();
        OpenWindows();
        ApplySizes();
        if (Finished())
            break;
        Entry& first = *m_Surfaces.front();
        if (!first.host) {
            m_Client.Wait(kIdleWaitMs); // a new output's surface comes at the next turn
            continue;
        }
        CSceneWnd* wnd = first.wnd;
        WaylandHost& host = *first.host;
        // Only when the compositor took the last frame: never one it did not ask for.
        if (wnd != nullptr && wnd->NeedsPaint() && !wnd->IsStopped() && !host.FramePending()) {
            const int swaps = host.Swaps();
            wnd->OnPaint();
            if (host.Swaps() != swaps)
                first.lastSwapMs = NowMs();
            else if (!Finished())
                m_Client.Wait(kIdleWaitMs);
        } else if (!PaintGuests(&host)) {
            m_Client.Wait(UntilNextDue(&host));
        }
    }
}

void WaylandSession::HandleInput() {
    m_Client.TakeInput(m_Input);
    if (m_Input.empty())
        return;
    // The first surface's window takes the input: one reference place for the pointer.
    CSceneWnd* wnd = m_Surfaces.empty() ? nullptr : m_Surfaces.front()->wnd;
    auto* screen = m_bFullScreen ? static_cast<CScreenWnd*>(wnd) : nullptr;
    for (const WaylandClient::Input& input : m_Input) {
        if (screen != nullptr) {
            switch (input.kind) {
            case WaylandClient::Input::Kind::Key:
                screen->OnKeyDown();
                break;
            case WaylandClient::Input::Kind::Button:
                screen->OnButtonDown();
                break;
            case WaylandClient::Input::Kind::Motion:
                screen->OnMouseMove(input.x, input.y);
                break;
            }
        } else if (!m_bFullScreen && input.kind == WaylandClient::Input::Kind::Key &&
                   (input.keysym == XKB_KEY_Escape || input.keysym == XKB_KEY_q ||
                    input.keysym == XKB_KEY_Q)) {
            m_bEnded = true;
        }
    }
}

void WaylandSession::ApplySizes() {
    for (const auto& entry : m_Surfaces) {
        if (!entry->host)
            continue;
        WaylandHost& host = *entry->host;
        host.RefreshScale();
        if (!host.TakeResize() || entry->wnd == nullptr)
            continue;
        entry->wnd->OnSize(host.Width(), host.Height());
        entry->wnd->Invalidate();
    }
}

void WaylandSession::Withdraw() {
    for (const auto& entry : m_Surfaces) {
        if (entry->host)
            entry->host->Withdraw();
    }
}

bool CanReachWayland() {
    const WaylandPtr<wl_display> display(wl_display_connect(nullptr));
    return display != nullptr;
}

int RunOnWayland(const CommandLine& cl, std::unique_ptr<ProfileStore> store, RunEnd end) {
    const SignalPipe signals;
    WaylandClient client(signals);
    std::string error;
    if (!client.Connect(error)) {
        std::fprintf(stderr, "kinetora: %s\n", error.c_str());
        return 1;
    }
    // Without EGL the scene window reports the missing GL setup, as on X11.
    WaylandEgl egl;
    std::string eglError;
    const bool eglOpen = egl.Open(client.Display(), eglError);

    const bool fullScreen = cl.mode == CommandLine::Mode::Saver;
    int status = 0;
    {
        WaylandSession wayland(client, egl, fullScreen);
        const int width = cl.width > 0 ? cl.width : 800;
        const int height = cl.width > 0 ? cl.height : 600;
        if (!wayland.Create(width, height, error)) {
            std::fprintf(stderr, "kinetora: %s\n", error.c_str());
            return 1;
        }
        if (!eglOpen)
            std::fprintf(stderr, "kinetora: %s\n", eglError.c_str());
        WaylandHost& host = wayland.FirstSurface();
        const std::optional<long> seed = cl.hasSeed ? std::optional<long>(cl.seed) : std::nullopt;
        std::optional<EndingInputWatch> watch;
        if (fullScreen)
            watch.emplace(client);
        RunSession session(fullScreen ? ModeSaver : ModePreview, seed, std::move(store));
        bool created = false;
        if (fullScreen)
            created = session.Open(std::make_unique<CScreenWnd>(host), host.Width(), host.Height(),
                                   false);
        else
            created =
                session.Open(std::make_unique<CSceneWnd>(host), host.Width(), host.Height(), false);
        // The first surface may go before the end (its output unplugged).
        const bool glFailed = host.GLFailed();
        if (created) {
            wayland.Attach(session, session.Wnd());
            wayland.Run();
            wayland.Withdraw();
        } else {
            status = 1;
        }
        if (glFailed)
            status = 1;
    } // the scene, the window, then the settings (which write their record)
    if (client.Gone()) {
        std::fprintf(stderr, "kinetora: %s\n", WaylandClient::Why(kLost).c_str());
        status = 1;
    }
    if (end == RunEnd::ExitProcess) {
        client.Flush();
        std::fflush(nullptr);
        _exit(status);
    }
    return status;
}
