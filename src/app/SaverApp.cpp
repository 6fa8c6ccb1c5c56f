#include "app/SaverApp.h"

#include "app/ScreenWnd.h"
#include "scene/SceneWnd.h"

#include "core/ProfileStore.h"
#include "core/RegSettings.h"
#include "core/SeedMix.h"
#include "core/Trace.h"
#include "core/tvLibrary.h"
#include "scene/Saver.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

CSaverApp gApp;

CSaverApp::CSaverApp() {
    m_bTraceEnv = std::getenv("TOVNTEMP") != nullptr;
    m_bTrace = m_bTraceEnv;
}

// Static destruction comes too late for GL work: the host's main() calls Shutdown first.
CSaverApp::~CSaverApp() = default;

bool CSaverApp::Init(::RunMode mode, std::optional<long> seed,
                     std::unique_ptr<ProfileStore> store) {
    m_Rand.setSeed(seed ? static_cast<int>(*seed) : FreshSeed());
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
    m_SceneWnds.clear();
    if (!wnd)
        return;
    wnd->AttachRun({&m_Rand, m_pSettings.get(), m_bTrace});
    PauseFirstOnClose(*wnd);
    m_SceneWnds.push_back(std::move(wnd));
}

void CSaverApp::PauseFirstOnClose(CSceneWnd& wnd) {
    if (auto* screen = dynamic_cast<CScreenWnd*>(&wnd))
        screen->SetDrawingWindow([this] { return pSceneWnd(); });
}

void CSaverApp::InstallScreenWnd(std::unique_ptr<CScreenWnd> wnd) {
    CScreenWnd* screen = wnd.get();
    InstallSceneWnd(std::move(wnd));
    m_pScreenWnd = screen;
}

CSceneWnd& CSaverApp::AddSceneWnd(std::unique_ptr<CSceneWnd> wnd) {
    SceneRun run{nullptr, m_pSettings.get(), m_bTrace};
    run.ownSeed = MixSeed(static_cast<std::uint64_t>(m_Rand.seed()),
                          static_cast<std::uint64_t>(++m_WindowsAdded));
    wnd->AttachRun(run);
    PauseFirstOnClose(*wnd);
    m_SceneWnds.push_back(std::move(wnd));
    return *m_SceneWnds.back();
}

void CSaverApp::RemoveSceneWnd(const CSceneWnd& wnd) {
    const auto it = std::find_if(m_SceneWnds.begin(), m_SceneWnds.end(),
                                 [&](const auto& each) { return each.get() == &wnd; });
    if (it == m_SceneWnds.end())
        return;
    if (m_pScreenWnd == it->get())
        m_pScreenWnd = nullptr;
    m_SceneWnds.erase(it);
}

void CSaverApp::Shutdown() {
    for (const auto& wnd : m_SceneWnds)
        wnd->FreeScene();
    m_pScreenWnd = nullptr;
    // The last added goes first, the way they were built.
    while (!m_SceneWnds.empty())
        m_SceneWnds.pop_back();
    m_pSettings.reset();
    m_pStore.reset();
    m_RunMode = ModeNone;
    m_bUsePassword = false;
    m_pOverrides.reset();
    m_WindowsAdded = 0;
}

void CSaverApp::ShowHelp() {
    // The stored folder ends with a separator; none is inserted.
    const std::string folder = m_pSettings ? m_pSettings->InstallFolder() : std::string();
    const std::string path = folder + "Kinetora.htm";
    if (!tvLibrary::FileExists(path)) {
        tvLibrary::Error("Sorry, could not find help file " + path +
                         ". It may be installed in another folder.");
        return;
    }
    if (!m_DocumentOpener || !m_DocumentOpener(path))
        tvLibrary::Error("Sorry, could not launch browser to view help file " + path);
}

void CSaverApp::DoConfig() {
    if (m_ConfigSheet && m_pSettings)
        m_ConfigSheet(*this);
}

std::string CSaverApp::GetProductVersion() {
    return GetProductVersion(KINETORA_VERSION);
}

std::string CSaverApp::GetProductVersion(std::string version) {
    version.erase(std::remove(version.begin(), version.end(), ' '), version.end());
    std::replace(version.begin(), version.end(), ',', '.');
    return version;
}
