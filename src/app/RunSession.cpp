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
    for (const auto& wnd : gApp.SceneWnds())
        wnd->OnDestroy();
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
