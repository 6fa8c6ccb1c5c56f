// OffscreenHost's surface for the Windows unit suite: a hidden window with a WGL context of
// the requested size stands in for the EGL pbuffer of the Linux build. Frames are read from
// the back buffer before the swap.
#include "host/offscreen/OffscreenHost.h"

#include "host/win32/WglContext.h"

#include <windows.h>

#include <string>

struct OffscreenHost::Surface {
    HWND hwnd = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
};

namespace {

const char* kClassName = "KinetoraTestSurface";

bool RegisterSurfaceClass() {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), kClassName, &existing))
        return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    return RegisterClassExA(&wc) != 0;
}

std::string LastError(const char* call) {
    return std::string(call) + " failed (error " + std::to_string(GetLastError()) + ")";
}

} // namespace

void OffscreenHost::SurfaceDelete::operator()(Surface* surface) const {
    delete surface;
}

SceneHost::GLSetup OffscreenHost::CreateGLContext() {
    ReleaseGLContext();
    m_pSurface.reset(new Surface);
    Surface& wgl = *m_pSurface;
    if (!RegisterSurfaceClass()) {
        m_FailureDetail = LastError("RegisterClassEx");
        return GLSetup::ChoosePixelFormatFailed;
    }
    // A pop-up of exactly the surface size (no frame), never shown.
    wgl.hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, m_Width, m_Height,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (wgl.hwnd == nullptr) {
        m_FailureDetail = LastError("CreateWindowEx");
        return GLSetup::ChoosePixelFormatFailed;
    }
    wgl.dc = GetDC(wgl.hwnd);
    const char* failedCall = "";
    const GLSetup setup = CreateWglContext(wgl.dc, wgl.context, failedCall);
    m_FailureDetail = setup == GLSetup::Ok ? std::string() : LastError(failedCall);
    return setup;
}

void OffscreenHost::MakeCurrent() {
    if (!m_pSurface)
        return;
    const Surface& wgl = *m_pSurface;
    if (wgl.context != nullptr && wglGetCurrentContext() != wgl.context)
        wglMakeCurrent(wgl.dc, wgl.context);
}

void OffscreenHost::ReleaseGLContext() {
    if (!m_pSurface)
        return;
    Surface& wgl = *m_pSurface;
    ReleaseWglContext(wgl.context);
    if (wgl.hwnd != nullptr) {
        ReleaseDC(wgl.hwnd, wgl.dc);
        DestroyWindow(wgl.hwnd);
    }
    m_pSurface.reset();
}

bool OffscreenHost::InputPending() {
    return m_bCloseRequested || (m_FrameLimit > 0 && m_FramesSwapped >= m_FrameLimit);
}

void OffscreenHost::SwapSurface() {
    if (m_pSurface && m_pSurface->dc != nullptr)
        ::SwapBuffers(m_pSurface->dc);
}
