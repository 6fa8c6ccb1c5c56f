// OffscreenHost for the Windows unit suite: a hidden window with a WGL context of the
// requested size stands in for the EGL pbuffer of the Linux build. Frames are read from the
// back buffer before the swap.
#include "host/offscreen/OffscreenHost.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstring>

// The Linux build keeps its EGL handles here; this one keeps the window's.
struct OffscreenHost::Egl {
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

OffscreenHost::OffscreenHost(int width, int height, int frameLimit)
    : m_pEgl(std::make_unique<Egl>()), m_Width(width), m_Height(height), m_FrameLimit(frameLimit) {}

OffscreenHost::~OffscreenHost() {
    ReleaseGLContext();
}

SceneHost::GLSetup OffscreenHost::CreateGLContext() {
    ReleaseGLContext();
    Egl& wgl = *m_pEgl;
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
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 16;
    const int format = ChoosePixelFormat(wgl.dc, &pfd);
    if (format == 0) {
        m_FailureDetail = LastError("ChoosePixelFormat");
        return GLSetup::ChoosePixelFormatFailed;
    }
    if (!SetPixelFormat(wgl.dc, format, &pfd)) {
        m_FailureDetail = LastError("SetPixelFormat");
        return GLSetup::SetPixelFormatFailed;
    }
    wgl.context = wglCreateContext(wgl.dc);
    if (wgl.context == nullptr) {
        m_FailureDetail = LastError("wglCreateContext");
        return GLSetup::CreateContextFailed;
    }
    if (!wglMakeCurrent(wgl.dc, wgl.context)) {
        m_FailureDetail = LastError("wglMakeCurrent");
        return GLSetup::MakeCurrentFailed;
    }
    m_FailureDetail.clear();
    return GLSetup::Ok;
}

void OffscreenHost::MakeCurrent() {
    const Egl& wgl = *m_pEgl;
    if (wgl.context != nullptr && wglGetCurrentContext() != wgl.context)
        wglMakeCurrent(wgl.dc, wgl.context);
}

void OffscreenHost::ReleaseGLContext() {
    Egl& wgl = *m_pEgl;
    if (wgl.context != nullptr) {
        if (wglGetCurrentContext() == wgl.context)
            wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(wgl.context);
    }
    if (wgl.hwnd != nullptr) {
        ReleaseDC(wgl.hwnd, wgl.dc);
        DestroyWindow(wgl.hwnd);
    }
    wgl = Egl{};
}

bool OffscreenHost::InputPending() {
    return m_bCloseRequested || (m_FrameLimit > 0 && m_FramesSwapped >= m_FrameLimit);
}

void OffscreenHost::WaitForInput(int) {}

void OffscreenHost::SwapBuffers() {
    if (m_bReadBack)
        m_LastFrame = ReadFrame();
    if (m_pEgl->dc != nullptr)
        ::SwapBuffers(m_pEgl->dc);
    ++m_FramesSwapped;
}

std::vector<unsigned char> OffscreenHost::ReadFrame() const {
    const size_t stride = static_cast<size_t>(m_Width) * 3;
    std::vector<unsigned char> bottomUp(stride * static_cast<size_t>(m_Height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, m_Width, m_Height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<unsigned char> topDown(bottomUp.size());
    for (int y = 0; y < m_Height; ++y) {
        const auto* from = bottomUp.data() + static_cast<size_t>(m_Height - 1 - y) * stride;
        std::memcpy(topDown.data() + static_cast<size_t>(y) * stride, from, stride);
    }
    return topDown;
}
