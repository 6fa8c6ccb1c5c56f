#include "app/RunSession.h"

#include "app/ScreenWnd.h"
#include "core/ProfileStore.h"
#include "core/RegSettings.h"
#include "scene/GLContext.h"
#include "scene/SceneWnd.h"

RunSession::RunSession(RunMode mode, std::optional<long> seed,
                       std::unique_ptr<ProfileStore> store) {
    gApp.Init(mode, seed, std::move(store));
}

RunSession::~RunSession() {
    for (const auto& wnd : gApp.SceneWnds())
        wnd->OnDestroy();
    m_SpeedTest.Abandon();
    EndSpeedTest();
    gApp.Shutdown();
}

bool RunSession::Open(std::unique_ptr<CSceneWnd> wnd, int width, int height, bool needGL) {
    m_pWnd = wnd.get();
    gApp.InstallSceneWnd(std::move(wnd));
    return Create(width, height, needGL);
}

bool RunSession::Open(std::unique_ptr<CScreenWnd> wnd, int width, int height, bool needGL) {
    m_pWnd = wnd.get();
    gApp.InstallScreenWnd(std::move(wnd));
    return Create(width, height, needGL);
}

bool RunSession::Create(int width, int height, bool needGL) {
    return m_pWnd != nullptr && Create(*m_pWnd, width, height, needGL);
}

bool RunSession::Create(CSceneWnd& wnd, int width, int height, bool needGL) {
    // Whichever window shows a frame first starts the test; it runs once.
    wnd.SetFirstFrameCallback([this] { StartSpeedTest(); });
    if (wnd.OnCreate() != 0 || (needGL && !(wnd.GL() != nullptr && wnd.GL()->IsOk())))
        return false;
    wnd.OnSize(width, height);
    return true;
}

bool RunSession::GLReady() const {
    return m_pWnd != nullptr && m_pWnd->GL() != nullptr && m_pWnd->GL()->IsOk();
}

CSceneWnd* RunSession::Add(std::unique_ptr<CSceneWnd> wnd, int width, int height, bool needGL) {
    if (!wnd)
        return nullptr;
    CSceneWnd& added = gApp.AddSceneWnd(std::move(wnd));
    if (m_pWnd == nullptr)
        m_pWnd = &added;
    if (Create(added, width, height, needGL))
        return &added;
    Close(added);
    return nullptr;
}

void RunSession::Close(CSceneWnd& wnd) {
    wnd.OnDestroy();
    gApp.RemoveSceneWnd(wnd);
    m_pWnd = gApp.pSceneWnd();
}

bool RunSession::PaintAll() {
    bool more = false;
    for (const auto& wnd : gApp.SceneWnds()) {
        if (wnd->NeedsPaint())
            wnd->OnPaint();
        more = more || wnd->NeedsPaint();
    }
    return more;
}

std::size_t RunSession::WindowCount() const {
    return gApp.SceneWnds().size();
}

CSceneWnd& RunSession::Wnd(std::size_t index) const {
    return *gApp.SceneWnds().at(index);
}

void RunSession::StartSpeedTest() {
    RegSettings* settings = gApp.pSettings();
    if (settings == nullptr || !settings->NeedsSpeedTest() || m_SpeedTest.Started())
        return;
    m_SpeedTest.Start();
    // Until the result is in the settings draw with their estimate; each record read after
    // the test ended takes the result.
    settings->ExpectSpeedTest([this] { return m_SpeedTest.Result(); });
}

void RunSession::WaitForSpeedTest() {
    m_SpeedTest.Wait();
    EndSpeedTest();
}

void RunSession::EndSpeedTest() {
    RegSettings* settings = gApp.pSettings();
    if (settings == nullptr || !m_SpeedTest.Started() || m_bSpeedTestTaken)
        return;
    if (const std::optional<int> ms = m_SpeedTest.Result()) {
        settings->TakeSpeedTest(*ms);
        m_bSpeedTestTaken = true;
    }
}
