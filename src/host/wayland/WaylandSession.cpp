#include "host/wayland/WaylandSession.h"

#include "app/CommandLine.h"
#include "app/RunSession.h"
#include "app/ScreenWnd.h"
#include "core/ProfileStore.h"
#include "core/StopRequest.h"
#include "host/posix/SignalPipe.h"
#include "host/wayland/WaylandEgl.h"
#include "scene/SceneWnd.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

// When a paint drew nothing, the next one waits this long for an event: never spin.
constexpr int kIdleWaitMs = 40;

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
    if (!m_bFullScreen || m_Client.Outputs().empty()) {
        auto host = MakeHost(nullptr, width, height, error);
        if (!host)
            return false;
        m_Hosts.push_back(std::move(host));
        return true;
    }
    // By index: an output announced while the first surfaces wait for their sizes is added
    // to the list, and covered here.
    m_bCreating = true;
    for (size_t i = 0; i < m_Client.Outputs().size(); ++i) {
        auto host = MakeHost(m_Client.Outputs()[i].get(), width, height, error);
        if (!host) {
            m_bCreating = false;
            return false;
        }
        m_Hosts.push_back(std::move(host));
    }
    m_bCreating = false;
    return true;
}

void WaylandSession::CoverOthers() {
    for (size_t i = 1; i < m_Hosts.size(); ++i) {
        WaylandHost& host = *m_Hosts[i];
        if (host.Swaps() == 0 && host.CreateGLContext() == SceneHost::GLSetup::Ok)
            host.ShowBlack();
    }
    if (!m_Hosts.empty())
        m_Hosts.front()->MakeCurrent();
}

void WaylandSession::OutputAdded(WaylandOutput& output) {
    if (!m_bFullScreen || m_bEnded || m_bCreating)
        return;
    std::string error;
    auto host = MakeHost(&output, 0, 0, error);
    if (!host) {
        std::fprintf(stderr, "kinetora: output %s: %s\n", output.Name().c_str(), error.c_str());
        return;
    }
    m_Hosts.push_back(std::move(host));
    CoverOthers();
}

void WaylandSession::OutputRemoved(WaylandOutput& output) {
    for (auto& host : m_Hosts)
        host->ForgetOutput(&output);
    const auto found = std::find_if(m_Hosts.begin(), m_Hosts.end(),
                                    [&output](const auto& h) { return h->Output() == &output; });
    if (found == m_Hosts.end())
        return;
    if (found == m_Hosts.begin()) {
        // The scene's own output: its GL objects go with the run, which ends here.
        m_bEnded = true;
        return;
    }
    m_Hosts.erase(found);
    if (!m_Hosts.empty())
        m_Hosts.front()->MakeCurrent();
}

bool WaylandSession::Finished() const {
    if (m_bEnded || SignalPipe::Terminated() || m_Client.Gone() || m_Hosts.empty())
        return true;
    const WaylandHost& scene = *m_Hosts.front();
    return scene.CloseRequested() || scene.Closed();
}

void WaylandSession::Run(CSceneWnd& wnd, CScreenWnd* screen) {
    m_pWnd = &wnd;
    m_pScreen = screen;
    while (!Finished()) {
        m_Client.Dispatch();
        HandleInput();
        ApplySizes();
        if (Finished())
            break;
        WaylandHost& host = *m_Hosts.front();
        // Only when the compositor took the last frame: never one it did not ask for.
        if (wnd.NeedsPaint() && !wnd.IsStopped() && !host.FramePending()) {
            const int swaps = host.Swaps();
            wnd.OnPaint();
            if (host.Swaps() == swaps && !Finished())
                m_Client.Wait(kIdleWaitMs);
        } else {
            m_Client.Wait(-1);
        }
    }
}

void WaylandSession::HandleInput() {
    m_Client.TakeInput(m_Input);
    for (const WaylandClient::Input& input : m_Input) {
        if (m_pScreen != nullptr) {
            switch (input.kind) {
            case WaylandClient::Input::Kind::Key:
                m_pScreen->OnKeyDown();
                break;
            case WaylandClient::Input::Kind::Button:
                m_pScreen->OnButtonDown();
                break;
            case WaylandClient::Input::Kind::Motion:
                m_pScreen->OnMouseMove(input.x, input.y);
                break;
            }
        } else if (input.kind == WaylandClient::Input::Kind::Key &&
                   (input.keysym == XKB_KEY_Escape || input.keysym == XKB_KEY_q ||
                    input.keysym == XKB_KEY_Q)) {
            m_bEnded = true;
        }
    }
}

void WaylandSession::ApplySizes() {
    for (size_t i = 0; i < m_Hosts.size(); ++i) {
        WaylandHost& host = *m_Hosts[i];
        host.RefreshScale();
        if (!host.TakeResize())
            continue;
        if (i == 0 && m_pWnd != nullptr) {
            m_pWnd->OnSize(host.Width(), host.Height());
            m_pWnd->Invalidate();
        } else if (i > 0) {
            host.ShowBlack();
            m_Hosts.front()->MakeCurrent();
        }
    }
}

void WaylandSession::Withdraw() {
    for (auto& host : m_Hosts)
        host->Withdraw();
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
        WaylandHost& host = wayland.SceneSurface();
        const std::optional<long> seed = cl.hasSeed ? std::optional<long>(cl.seed) : std::nullopt;
        std::optional<EndingInputWatch> watch;
        if (fullScreen)
            watch.emplace(client);
        RunSession session(fullScreen ? ModeSaver : ModePreview, seed, std::move(store));
        CScreenWnd* screen = nullptr;
        bool created = false;
        if (fullScreen) {
            auto owned = std::make_unique<CScreenWnd>(host);
            screen = owned.get();
            created = session.Open(std::move(owned), host.Width(), host.Height(), false);
        } else {
            created =
                session.Open(std::make_unique<CSceneWnd>(host), host.Width(), host.Height(), false);
        }
        if (created) {
            wayland.CoverOthers();
            wayland.Run(session.Wnd(), screen);
            wayland.Withdraw();
        } else {
            status = 1;
        }
        if (host.GLFailed())
            status = 1;
    } // the scene, the window, then the settings (which write their record)
    if (client.Gone()) {
        std::fprintf(stderr, "kinetora: %s\n", kLost);
        status = 1;
    }
    if (end == RunEnd::ExitProcess) {
        client.Flush();
        std::fflush(nullptr);
        _exit(status);
    }
    return status;
}
