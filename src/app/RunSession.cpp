#include "app/RunSession.h"

#include "app/ScreenWnd.h"
#include "core/ProfileStore.h"
#include "scene/GLContext.h"
#include "scene/SceneWnd.h"

RunSession::RunSession(RunMode mode, std::optional<long> seed,
                       std::unique_ptr<ProfileStore> store) {
    gApp.Init(mode, seed, std::move(store));
}

RunSession::~RunSession() {
    if (m_pWnd)
        m_pWnd->OnDestroy();
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
    if (m_pWnd == nullptr || m_pWnd->OnCreate() != 0 || (needGL && !GLReady()))
        return false;
    m_pWnd->OnSize(width, height);
    return true;
}

bool RunSession::GLReady() const {
    return m_pWnd != nullptr && m_pWnd->GL() != nullptr && m_pWnd->GL()->IsOk();
}
