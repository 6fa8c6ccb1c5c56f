#pragma once

#include "scene/SceneHost.h"

#include <windows.h>

#include <string>

class CSceneWnd;
class CScreenWnd;

// A scene host on one Win32 window with a WGL context: the preview child of the display
// settings' monitor picture, the top-most full-screen window, or a normal window for
// trying the saver out. Its window procedure forwards size, paint and destroy to the scene
// window and, full screen, the input that ends the run to the CScreenWnd.
class Win32Host : public SceneHost {
public:
    enum class Kind {
        FullScreen, // top-most pop-up over the whole virtual screen, cursor hidden
        Child,      // fills the client area of a window of another process (preview)
        TopLevel,   // an ordinary window; Escape or q closes it
    };

    Win32Host(HINSTANCE instance, Kind kind, HWND parent = nullptr);
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    // Makes the window, still hidden. False, with a one-line reason, when the parent is
    // not a window, is the desktop or the window cannot be made.
    bool Create(std::string& error);
    // The scene window that receives the window's events from now on; screen is the same
    // object when the run is full screen, else null. Detach with (nullptr, nullptr).
    void Attach(CSceneWnd* wnd, CScreenWnd* screen);
    // Shows the window and, full screen, takes the focus.
    void Show();

    GLSetup CreateGLContext() override;
    void ReleaseGLContext() override;
    // A message is waiting for this window (peeked, not removed).
    bool InputPending() override;
    void WaitForInput(int ms) override;
    void SwapBuffers() override;
    void RequestClose() override;

    HWND Hwnd() const { return m_Hwnd; }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    int Swaps() const { return m_Swaps; }
    bool GLFailed() const { return m_GLSetup != GLSetup::Ok; }
    // The window was destroyed (by a close, or with its parent).
    bool IsGone() const { return m_bGone; }

    // Asks for another WM_PAINT when the scene window wants one (after drawing was
    // stopped and resumed, for instance).
    void SyncPaint();

    // The class name of the scene windows, registered once per process.
    static const char* ClassName() { return "KinetoraScene"; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleScreenInput(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnPaint();
    void OnDestroy();
    bool RegisterClassOnce(std::string& error) const;

    HINSTANCE m_Instance;
    Kind m_Kind;
    HWND m_Parent;
    HWND m_Hwnd = nullptr;
    HDC m_Dc = nullptr;
    HGLRC m_Context = nullptr;
    GLSetup m_GLSetup = GLSetup::Ok;
    CSceneWnd* m_pWnd = nullptr;
    CScreenWnd* m_pScreen = nullptr;
    int m_Width = 0;
    int m_Height = 0;
    int m_Swaps = 0;
    bool m_bGone = false;
};
