#pragma once

#include "host/posix/RunEnd.h"
#include "host/wayland/WaylandClient.h"
#include "host/wayland/WaylandHost.h"

#include <memory>
#include <string>
#include <vector>

class CSceneWnd;
class CScreenWnd;
class ProfileStore;
class RunSession;
class WaylandEgl;
struct CommandLine;

// The surfaces of an on-screen run on Wayland, one per output with a scene of its own (or
// one window), and the loop that feeds them: input, sizes, outputs that come and go, and
// paints whenever a surface may show a new frame. The first surface's scene runs its bursts
// as on X11; while it waits between two frames, the others draw a frame each when theirs is
// due, so every output keeps its own pace.
class WaylandSession final : public WaylandClient::OutputWatcher, public WaylandHost::Turns {
public:
    WaylandSession(WaylandClient& client, const WaylandEgl& egl, bool fullScreen);
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    // Makes the surfaces: one on every output (full screen) or one window of the given size.
    bool Create(int width, int height, std::string& error);
    WaylandHost& FirstSurface() const { return *m_Surfaces.front()->host; }
    size_t SurfaceCount() const { return m_Surfaces.size(); }
    WaylandHost& Surface(size_t index) const { return *m_Surfaces.at(index)->host; }

    // The run whose windows the surfaces show; first is the first surface's. The other
    // surfaces (and those of outputs added later) get windows of their own from it.
    void Attach(RunSession& run, CSceneWnd& first);
    // Runs until input ends it, the window closes, the compositor goes or a signal arrives.
    void Run();
    void Withdraw();
    bool Finished() const;

    // Output-watcher events; also the seam the tests feed. A surface whose output went is
    // freed, with its scene window, by FreeRemoved (the loop calls it between paints).
    void OutputAdded(WaylandOutput& output) override;
    void OutputRemoved(WaylandOutput& output) override;
    void FreeRemoved();

    void WaitFor(WaylandHost& waiting, int ms) override;
    bool SurfacesChanged() const override;

private:
    struct Entry {
        std::unique_ptr<WaylandHost> host;        // null until made for a new output
        const WaylandOutput* newOutput = nullptr; // an output announced mid-run
        bool dropped = false;                     // it went again before its surface came
        CSceneWnd* wnd = nullptr;
        bool opened = false;      // a window was asked for (it may have failed)
        long long lastSwapMs = 0; // when its last frame was committed
        long long drawMs = 0;     // how long its last turn took to draw
    };

    std::unique_ptr<WaylandHost> MakeHost(const WaylandOutput* output, int width, int height,
                                          std::string& error) const;
    void OpenWindows();
    void HandleInput();
    void ApplySizes();
    bool Due(const Entry& entry, long long now) const;
    // Draws one frame of every surface but except that is due now; true when one did.
    bool PaintGuests(const WaylandHost* except);
    // Milliseconds until the next surface but except is due (-1: none is waiting).
    int UntilNextDue(const WaylandHost* except) const;
    Entry* Find(const WaylandHost& host) const;

    WaylandClient& m_Client;
    const WaylandEgl& m_Egl;
    const bool m_bFullScreen;
    std::vector<std::unique_ptr<Entry>> m_Surfaces; // by index: the list grows while it is used
    std::vector<WaylandClient::Input> m_Input;
    RunSession* m_pRun = nullptr;
    bool m_bEnded = false;
    bool m_bCreating = false;
    bool m_bGuestTurn = false;
};

// Whether WAYLAND_DISPLAY names a compositor that accepts a connection (closed again).
bool CanReachWayland();

// Runs the full-screen or windowed mode on the Wayland compositor. Returns the process exit
// status; failures print one line on standard error.
int RunOnWayland(const CommandLine& commandLine, std::unique_ptr<ProfileStore> store, RunEnd end);
