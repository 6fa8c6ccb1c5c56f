#include "host/win32/Win32Host.h"

#include "app/ScreenWnd.h"
#include "host/win32/WglContext.h"
#include "scene/SceneWnd.h"

#include <windowsx.h>

#include <cstring>

namespace {

void SetLastErrorText(std::string& error, const std::string& what) {
    error = what + " (error " + std::to_string(GetLastError()) + ")";
}

std::string HandleText(HWND hwnd) {
    return std::to_string(reinterpret_cast<UINT_PTR>(hwnd));
}

// The desktop of any desktop, the shell's desktop window and what it holds: none of them
// ends while the session lasts, so a preview drawn there would never end.
bool IsDesktop(HWND hwnd) {
    if (hwnd == GetDesktopWindow())
        return true;
    char name[16] = {};
    if (GetClassNameA(hwnd, name, sizeof name) > 0 && std::strcmp(name, "#32769") == 0)
        return true;
    const HWND shell = GetShellWindow();
    return shell != nullptr && GetAncestor(hwnd, GA_ROOT) == shell;
}

} // namespace

Win32Host::Win32Host(HINSTANCE instance, Kind kind, HWND parent)
    : m_Instance(instance), m_Kind(kind), m_Parent(parent) {}

Win32Host::~Win32Host() {
    ReleaseGLContext();
    if (m_Hwnd != nullptr && !m_bGone) {
        m_pWnd = nullptr;
        m_pScreen = nullptr;
        DestroyWindow(m_Hwnd);
    }
}

bool Win32Host::RegisterClassOnce(std::string& error) const {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(m_Instance, ClassName(), &existing))
        return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    // Own DC: the GL context keeps using the DC its pixel format was set on.
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = m_Instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName();
    if (RegisterClassExA(&wc) == 0) {
        SetLastErrorText(error, "cannot register the window class");
        return false;
    }
    return true;
}

bool Win32Host::Create(std::string& error) {
    if (!RegisterClassOnce(error))
        return false;
    DWORD exStyle = 0;
    DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    int x = 0;
    int y = 0;
    int width = 800;
    int height = 600;
    switch (m_Kind) {
    case Kind::FullScreen:
        exStyle = WS_EX_TOPMOST;
        style |= WS_POPUP;
        // Every monitor, not only the primary one.
        x = GetSystemMetrics(SM_XVIRTUALSCREEN);
        y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
        height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
        break;
    case Kind::Child: {
        RECT client{};
        if (m_Parent == nullptr || !IsWindow(m_Parent) || !GetClientRect(m_Parent, &client)) {
            error = "no window " + HandleText(m_Parent) + " to draw the preview in";
            return false;
        }
        // The display settings hand a window of their own, which they destroy on closing.
        if (IsDesktop(m_Parent)) {
            error = "window " + HandleText(m_Parent) + " is the desktop: no preview is drawn in it";
            return false;
        }
        style |= WS_CHILD;
        width = client.right - client.left;
        height = client.bottom - client.top;
        break;
    }
    case Kind::TopLevel:
        style |= WS_OVERLAPPEDWINDOW;
        x = y = CW_USEDEFAULT;
        break;
    }
    m_Hwnd = CreateWindowExA(exStyle, ClassName(), "Kinetora", style, x, y, width, height,
                             m_Kind == Kind::Child ? m_Parent : nullptr, nullptr, m_Instance, this);
    if (m_Hwnd == nullptr) {
        SetLastErrorText(error, "cannot create the window");
        return false;
    }
    RECT client{};
    GetClientRect(m_Hwnd, &client);
    m_Width = client.right - client.left;
    m_Height = client.bottom - client.top;
    m_Dc = GetDC(m_Hwnd);
    return true;
}

void Win32Host::Attach(CSceneWnd* wnd, CScreenWnd* screen) {
    m_pWnd = wnd;
    m_pScreen = screen;
}

void Win32Host::Show() {
    ShowWindow(m_Hwnd, SW_SHOW);
    if (m_Kind != Kind::Child) {
        SetForegroundWindow(m_Hwnd);
        SetFocus(m_Hwnd);
    }
    UpdateWindow(m_Hwnd);
}

SceneHost::GLSetup Win32Host::CreateGLContext() {
    const char* failedCall = "";
    return m_GLSetup = CreateWglContext(m_Dc, m_Context, failedCall);
}

void Win32Host::ReleaseGLContext() {
    ReleaseWglContext(m_Context);
}

bool Win32Host::InputPending() {
    if (m_bGone)
        return true;
    // Also runs messages other threads sent us, such as the parent's destruction of a
    // preview, which stops drawing at once.
    MSG msg;
    return PeekMessageA(&msg, m_Hwnd, 0, 0, PM_NOREMOVE) != 0 || m_bGone;
}

void Win32Host::WaitForInput(int ms) {
    if (ms <= 0 || m_bGone)
        return;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(ms), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
}

void Win32Host::SwapBuffers() {
    if (m_Dc == nullptr || m_bGone)
        return;
    ::SwapBuffers(m_Dc);
    ++m_Swaps;
}

void Win32Host::RequestClose() {
    if (m_Hwnd != nullptr && !m_bGone)
        PostMessageA(m_Hwnd, WM_CLOSE, 0, 0);
}

void Win32Host::SyncPaint() {
    if (m_pWnd != nullptr && !m_bGone && m_pWnd->NeedsPaint() && !m_pWnd->IsStopped())
        InvalidateRect(m_Hwnd, nullptr, TRUE);
}

LRESULT CALLBACK Win32Host::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* host = static_cast<Win32Host*>(create->lpCreateParams);
        host->m_Hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    }
    auto* host = reinterpret_cast<Win32Host*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (host == nullptr)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return host->Handle(message, wParam, lParam);
}

LRESULT Win32Host::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (m_pScreen != nullptr && HandleScreenInput(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_SIZE:
        m_Width = LOWORD(lParam);
        m_Height = HIWORD(lParam);
        if (m_pWnd != nullptr)
            m_pWnd->OnSize(m_Width, m_Height);
        return 0;
    case WM_ERASEBKGND:
        return 1; // every frame covers the window
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_KEYDOWN:
        if (m_Kind == Kind::TopLevel && (wParam == VK_ESCAPE || wParam == 'Q')) {
            RequestClose();
            return 0;
        }
        break;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(m_Hwnd, GWLP_USERDATA, 0);
        m_bGone = true;
        break;
    default:
        break;
    }
    return DefWindowProcA(m_Hwnd, message, wParam, lParam);
}

// The full-screen window's rules: any key or button, a move of more than 20 pixels or the
// loss of activation ends the run once CScreenWnd::CloseQuery allows it.
bool Win32Host::HandleScreenInput(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_CLOSE) {
            result = 0;
            return true;
        }
        return false;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        result = TRUE;
        return true;
    case WM_NCACTIVATE:
        if (wParam == FALSE && !m_pScreen->IsChecking()) {
            result = FALSE; // refuses to be shown inactive
            return true;
        }
        return false;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            m_pScreen->OnDeactivate();
        return false;
    case WM_ACTIVATEAPP:
        if (wParam == FALSE)
            m_pScreen->OnDeactivate();
        return false;
    case WM_MOUSEMOVE:
        m_pScreen->OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return false;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        m_pScreen->OnButtonDown();
        return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        m_pScreen->OnKeyDown();
        return false;
    default:
        return false;
    }
}

void Win32Host::OnPaint() {
    PAINTSTRUCT ps;
    BeginPaint(m_Hwnd, &ps);
    EndPaint(m_Hwnd, &ps);
    if (m_pWnd == nullptr)
        return;
    // The parent's destruction reaches a preview as a message from another process; should it
    // be late or lost, the preview must not draw on for nobody.
    if (m_Kind == Kind::Child && !IsWindow(m_Parent)) {
        DestroyWindow(m_Hwnd);
        return;
    }
    m_pWnd->OnPaint();
    SyncPaint(); // the WM_PAINT loop: the next paint follows once the queue is empty
}

void Win32Host::OnDestroy() {
    // The scene goes after the message loop, never from here: a burst may still be on the
    // stack when a parent destroys the preview.
    if (m_pWnd != nullptr)
        m_pWnd->OnDestroy();
    m_pWnd = nullptr;
    m_pScreen = nullptr;
    PostQuitMessage(0);
}
