#include "app/SaverApp.h"

#include "app/ScreenWnd.h"
#include "scene/SceneWnd.h"

#include "core/ProfileStore.h"
#include "core/RegSettings.h"
#include "core/Trace.h"
#include "core/tvLibrary.h"
#include "scene/Saver.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

CSaverApp gApp;

CSaverApp::CSaverApp() {
    m_bTraceEnv = std::getenv("TOVNTEMP") != nullptr;
    m_bTrace = m_bTraceEnv;
}

// Static destruction comes too late for GL work: the host's main() calls Shutdown first.
CSaverApp::~CSaverApp() = default;

bool CSaverApp::Init(::RunMode mode, std::optional<long> seed,
                     std::unique_ptr<ProfileStore> store) {
    if (seed)
        m_Rand.setSeed(static_cast<int>(*seed));
    if (m_bTrace)
        TraceLine("app", 91, "m_Rand.seed()", m_Rand.seed());
    m_bUsePassword = false;
    m_RunMode = mode;
    m_pStore = std::move(store);
    if (m_pStore) {
        m_pSettings = std::make_unique<RegSettings>(*m_pStore);
        m_pSettings->SetRunModeSaver(mode == ModeSaver);
        m_pSettings->SetTracing(m_bTrace);
        if (m_pOverrides && (mode == ModePreview || mode == ModeSaver))
            m_pSettings->ApplyRunOverrides(*m_pOverrides);
    }
    return mode == ModePreview || mode == ModeSaver;
}

void CSaverApp::SetRunOverrides(const RunOverrides& overrides) {
    m_pOverrides = std::make_unique<RunOverrides>(overrides);
}

void CSaverApp::InstallSceneWnd(std::unique_ptr<CSceneWnd> wnd) {
    m_pScreenWnd = nullptr;
    m_pSceneWnd = std::move(wnd);
}

void CSaverApp::InstallScreenWnd(std::unique_ptr<CScreenWnd> wnd) {
    CScreenWnd* screen = wnd.get();
    m_pSceneWnd = std::move(wnd);
    m_pScreenWnd = screen;
}

void CSaverApp::Shutdown() {
    gSaver.reset();
    m_pScreenWnd = nullptr;
    m_pSceneWnd.reset();
    m_pSettings.reset();
    m_pStore.reset();
    m_RunMode = ModeNone;
    m_bUsePassword = false;
    m_pOverrides.reset();
}

namespace {

// Starts xdg-open on path. A launcher that fails at once (no handler, no browser) counts
// as a failure; one still running after a short while has handed the file over.
bool OpenWithDesktop(const std::string& path) {
    std::string program = "xdg-open";
    std::vector<char*> argv{program.data(), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(3);
    while (steady_clock::now() < deadline) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0)
            return false;
        std::this_thread::sleep_for(milliseconds(50));
    }
    return true;
}

} // namespace

void CSaverApp::ShowHelp() {
    // The stored folder ends with a separator; none is inserted.
    const std::string folder = m_pSettings ? m_pSettings->InstallFolder() : std::string();
    const std::string path = folder + "Kinetora.htm";
    if (!tvLibrary::FileExists(path)) {
        tvLibrary::Error("Sorry, could not find help file " + path +
                         ". It may be installed in another folder.");
        return;
    }
    if (!OpenWithDesktop(path))
        tvLibrary::Error("Sorry, could not launch browser to view help file " + path);
}

void CSaverApp::DoConfig() {
    if (m_ConfigSheet && m_pSettings)
        m_ConfigSheet(*this);
}

std::string CSaverApp::GetProductVersion() {
    std::string version = KINETORA_VERSION;
    version.erase(std::remove(version.begin(), version.end(), ' '), version.end());
    std::replace(version.begin(), version.end(), ',', '.');
    return version;
}
