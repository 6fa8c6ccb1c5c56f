#pragma once

#include "host/posix/RunEnd.h"
#include "host/wayland/WaylandClient.h"
#include "host/wayland/WaylandHost.h"

#include <memory>
#include <vector>

class CSceneWnd;
class CScreenWnd;
class ProfileStore;
class WaylandEgl;
struct CommandLine;

// The surfaces of an on-screen run on Wayland, one per output (or one window), and the
// loop that feeds them: input, sizes and outputs that come and go, then one paint of the
// scene window whenever its surface may show a new frame.
class WaylandSession final : public WaylandClient::OutputWatcher {
public:
    WaylandSession(WaylandClient& client, const WaylandEgl& egl, bool fullScreen);
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    // Makes the surfaces: one on every output (full screen) or one window of the given size.
    bool Create(int width, int height, std::string& error);
    // The host the scene draws on.
    WaylandHost& SceneSurface() const { return *m_Hosts.front(); }
    // Shows black on every output that has no scene.
    void CoverOthers();

    // Runs until input ends it, the window closes, the compositor goes or a signal arrives.
    void Run(CSceneWnd& wnd, CScreenWnd* screen);
    void Withdraw();
    bool Finished() const;

    // Output-watcher events; also the seam the tests feed.
    void OutputAdded(WaylandOutput& output) override;
    void OutputRemoved(WaylandOutput& output) override;
    size_t SurfaceCount() const { return m_Hosts.size(); }

private:
    std::unique_ptr<WaylandHost> MakeHost(const WaylandOutput* output, int width, int height,
                                          std::string& error) const;
    void HandleInput();
    void ApplySizes();

    WaylandClient& m_Client;
    const WaylandEgl& m_Egl;
    const bool m_bFullScreen;
    std::vector<std::unique_ptr<WaylandHost>> m_Hosts; // the scene's first
    std::vector<WaylandClient::Input> m_Input;
    CSceneWnd* m_pWnd = nullptr;
    CScreenWnd* m_pScreen = nullptr;
    bool m_bEnded = false;
    bool m_bCreating = false;
};

// Whether WAYLAND_DISPLAY names a compositor that accepts a connection (closed again).
bool CanReachWayland();

// Runs the full-screen or windowed mode on the Wayland compositor. Returns the process exit
// status; failures print one line on standard error.
int RunOnWayland(const CommandLine& commandLine, std::unique_ptr<ProfileStore> store, RunEnd end);
