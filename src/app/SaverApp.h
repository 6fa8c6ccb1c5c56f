#pragma once

#include "core/Random.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CSceneWnd;
class CScreenWnd;
class ProfileStore;
class RegSettings;
struct RunOverrides;

// What this run does. Other code tests only for ModeSaver (the frame-rate record is
// written back only then).
enum RunMode {
    ModeNone = 0,
    ModeChangePassword = 1,
    ModePreview = 3,
    ModeConfigure = 4,
    ModeSaver = 5,
};

// The application object: the process-wide generator, the settings store and the drawing
// windows. The host's main() drives it: Init, then InstallSceneWnd / InstallScreenWnd for
// the drawing modes (AddSceneWnd for a host that draws in several windows), the event loop,
// then Shutdown.
class CSaverApp {
public:
    // Seeds m_Rand from the clock and notes whether TOVNTEMP is set.
    CSaverApp();
    ~CSaverApp();
    CSaverApp(const CSaverApp&) = delete;
    CSaverApp& operator=(const CSaverApp&) = delete;

    // Seeds m_Rand with the r switch's number when there is one (else with a seed of this
    // process alone, so that savers started together differ), writes the seed's trace line,
    // then creates the settings on the given store (which loads every setting) and fixes the
    // run mode. Returns true when the mode draws (preview, saver): the caller then installs
    // the window and runs its loop. Configure and change-password return false; the caller
    // shows the configuration sheet (or nothing) and ends.
    bool Init(::RunMode mode, std::optional<long> seed, std::unique_ptr<ProfileStore> store);

    // Command-line settings that the next drawing run (preview or saver) puts in place of the
    // stored ones; they are never written back. Shutdown forgets them.
    void SetRunOverrides(const RunOverrides& overrides);

    // The drawing window of a preview (or any non-full-screen run). The application owns it.
    void InstallSceneWnd(std::unique_ptr<CSceneWnd> wnd);
    // The full-screen window: it is also the drawing window.
    void InstallScreenWnd(std::unique_ptr<CScreenWnd> wnd);
    // A further drawing window beside the first (one per output of a multi-screen host).
    // It draws from a generator of its own, seeded from the run's seed and the number of
    // windows added before it: a seed replays every window, and m_Rand is left alone, so
    // the first window draws the scenes it draws alone, whenever the others come and go.
    CSceneWnd& AddSceneWnd(std::unique_ptr<CSceneWnd> wnd);
    // Deletes a window added or installed before (its scene and context first); the others
    // keep drawing. The first window left becomes pSceneWnd().
    void RemoveSceneWnd(const CSceneWnd& wnd);

    // Deletes the windows' scenes, the windows and the settings (which write the frame-rate
    // record in saver mode), in that order, while the host's GL context still exists.
    // Leaves the object ready for another Init (the unit tests run many).
    void Shutdown();

    // Opens the install folder's help page; shows an error when it is missing or no
    // browser starts.
    void ShowHelp();
    // Opens a document with the desktop's viewer; false when nothing could start. The host
    // provides it (the help page cannot open without one).
    using DocumentOpener = std::function<bool(const std::string& path)>;
    void SetDocumentOpener(DocumentOpener opener) { m_DocumentOpener = std::move(opener); }
    // The configuration sheet of the host, run modally on the loaded settings.
    using ConfigSheet = std::function<void(CSaverApp&)>;
    void SetConfigSheet(ConfigSheet sheet) { m_ConfigSheet = std::move(sheet); }
    // Shows the configuration sheet ("Kinetora Screensaver", first page selected) and returns
    // when it closes. Without settings or a host sheet nothing is shown.
    void DoConfig();
    // The project's version, e.g. "1.0.0".
    static std::string GetProductVersion();
    // A version as written in a version resource, for display: blanks removed and commas
    // turned into periods ("1, 2, 0, 3" gives "1.2.0.3").
    static std::string GetProductVersion(std::string resourceText);

    // The first drawing window, or null.
    CSceneWnd* pSceneWnd() const { return m_SceneWnds.empty() ? nullptr : m_SceneWnds[0].get(); }
    // Every drawing window, the first one first.
    const std::vector<std::unique_ptr<CSceneWnd>>& SceneWnds() const { return m_SceneWnds; }
    CScreenWnd* pScreenWnd() const { return m_pScreenWnd; }
    RegSettings* pSettings() const { return m_pSettings.get(); }
    // The store the settings were loaded from (the sheet reads the last run's record).
    ProfileStore* pStore() const { return m_pStore.get(); }
    ::RunMode RunMode() const { return m_RunMode; }
    bool UsePassword() const { return m_bUsePassword; }
    bool IsTracing() const { return m_bTrace; }
    bool IsTraceEnv() const { return m_bTraceEnv; }

    Random m_Rand;

private:
    // A closing question on a screen window pauses the run's first window.
    void PauseFirstOnClose(CSceneWnd& wnd);

    std::vector<std::unique_ptr<CSceneWnd>> m_SceneWnds;
    CScreenWnd* m_pScreenWnd = nullptr; // the same object as the first window when set
    ::RunMode m_RunMode = ModeNone;
    std::unique_ptr<ProfileStore> m_pStore; // outlives m_pSettings, which reads and writes it
    std::unique_ptr<RegSettings> m_pSettings;
    bool m_bTraceEnv = false;
    bool m_bUsePassword = false; // the desktop's locker owns passwords here
    bool m_bTrace = false;
    ConfigSheet m_ConfigSheet;
    DocumentOpener m_DocumentOpener;
    std::unique_ptr<RunOverrides> m_pOverrides;
    int m_WindowsAdded = 0;
};

extern CSaverApp gApp;
