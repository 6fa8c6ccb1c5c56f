#include "app/ScreenWnd.h"

#include "scene/SceneHost.h"

#include <cstdlib>

CScreenWnd::CScreenWnd(SceneHost& host) : CSceneWnd(host) {}

void CScreenWnd::OnMouseMove(int x, int y) {
    if (m_bChecking || m_bClosing)
        return;
    if (m_LastMouse.x == -1 && m_LastMouse.y == -1) {
        m_LastMouse = {x, y}; // the first report only records where the pointer is
        return;
    }
    // Within 20 pixels the reference stays put, so a slow drift adds up until it passes.
    if (std::abs(m_LastMouse.x - x) > 20 || std::abs(m_LastMouse.y - y) > 20) {
        CloseIfAllowed();
        m_LastMouse = {x, y};
    }
}

void CScreenWnd::OnButtonDown() {
    CloseIfAllowed();
}

void CScreenWnd::OnKeyDown() {
    CloseIfAllowed();
}

void CScreenWnd::OnDeactivate() {
    CloseIfAllowed();
}

void CScreenWnd::CloseIfAllowed() {
    if (CloseQuery())
        m_Host.RequestClose();
}

bool CScreenWnd::CloseQuery() {
    if (m_bChecking || m_bClosing)
        return false;
    m_bChecking = true;
    CSceneWnd* named = m_DrawingWindow ? m_DrawingWindow() : nullptr;
    CSceneWnd* drawing = named != nullptr ? named : this;
    drawing->SetStopped(true); // the animation pauses while a dialog may be up
    bool result = true;
    if (m_PasswordCheck)
        result = m_PasswordCheck();
    if (result) {
        m_bClosing = true;
    } else {
        drawing->SetStopped(false);
        m_bClosing = false;
        Invalidate();
    }
    m_bChecking = false;
    return result;
}
