#pragma once

#include "scene/SceneWnd.h"

#include <functional>

// The full-screen saver window: ends the run on a key, a mouse button, a mouse move of
// more than 20 pixels or the loss of activation, once CloseQuery allows it. The host feeds
// its input events here; a close is asked for through SceneHost::RequestClose.
class CScreenWnd : public CSceneWnd {
public:
    explicit CScreenWnd(SceneHost& host);

    void OnMouseMove(int x, int y);
    void OnButtonDown();
    void OnKeyDown();
    // The window or the application lost activation (focus out, unmap).
    void OnDeactivate();

    // True when the saver may close. Drawing is stopped while the question is open and
    // resumes when the answer is no; no second close is asked for once one was allowed.
    bool CloseQuery();

    // Hosts whose platform leaves the password to the saver install the check here; with
    // none (the desktop's locker owns passwords) every close is allowed.
    void SetPasswordCheck(std::function<bool()> check) { m_PasswordCheck = std::move(check); }

    // The window whose drawing pauses while the question is open (the run's first window);
    // without one, or when it gives null, this window pauses.
    void SetDrawingWindow(std::function<CSceneWnd*()> drawing) {
        m_DrawingWindow = std::move(drawing);
    }

    bool IsChecking() const { return m_bChecking; }
    bool IsClosing() const { return m_bClosing; }

private:
    void CloseIfAllowed();

    struct Point {
        int x = -1;
        int y = -1;
    };
    Point m_LastMouse; // (-1, -1) until the first move
    bool m_bChecking = false;
    bool m_bClosing = false;
    std::function<bool()> m_PasswordCheck;
    std::function<CSceneWnd*()> m_DrawingWindow;
};
