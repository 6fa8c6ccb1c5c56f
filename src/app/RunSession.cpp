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
    if (m_pWnd)
        m_pWnd->OnDestroy();
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
    if (m_pWnd)
        m_pWnd->SetFirstFrameCallback([this] { StartSpeedTest(); });
    if (m_pWnd == nullptr || m_pWnd->OnCreate() != 0 || (needGL && !GLReady()))
        return false;
    m_pWnd->OnSize(width, height);
    return true;
}

bool RunSession::GLReady() const {
    return m_pWnd != nullptr && m_pWnd->GL() != nullptr && m_pWnd->GL()->IsOk();
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
