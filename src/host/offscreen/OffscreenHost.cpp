#include "host/offscreen/OffscreenHost.h"

#include "host/posix/SignalPipe.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstring>

struct OffscreenHost::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

namespace {

std::string EglError(const char* call) {
    char text[80];
    std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04x)", call,
                  static_cast<unsigned>(eglGetError()));
    return text;
}

// Mesa's surfaceless platform needs no X server; without it, the default display.
EGLDisplay OpenDisplay() {
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (extensions != nullptr && std::strstr(extensions, "EGL_MESA_platform_surfaceless")) {
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay != nullptr) {
            EGLDisplay display =
                getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
            if (display != EGL_NO_DISPLAY)
                return display;
        }
    }
    return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}

} // namespace

OffscreenHost::OffscreenHost(int width, int height, int frameLimit)
    : m_pEgl(std::make_unique<Egl>()), m_Width(width), m_Height(height), m_FrameLimit(frameLimit) {}

OffscreenHost::~OffscreenHost() {
    ReleaseGLContext();
}

SceneHost::GLSetup OffscreenHost::CreateGLContext() {
    ReleaseGLContext();
    Egl& egl = *m_pEgl;
    egl.display = OpenDisplay();
    EGLint major = 0;
    EGLint minor = 0;
    if (egl.display == EGL_NO_DISPLAY || !eglInitialize(egl.display, &major, &minor)) {
        m_FailureDetail = EglError("eglInitialize");
        egl.display = EGL_NO_DISPLAY;
        return GLSetup::ChoosePixelFormatFailed;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       16,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(egl.display, configAttributes, &config, 1, &count) || count < 1) {
        m_FailureDetail = "no EGL configuration with RGB, depth and desktop OpenGL";
        return GLSetup::ChoosePixelFormatFailed;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, m_Width, EGL_HEIGHT, m_Height, EGL_NONE};
    egl.surface = eglCreatePbufferSurface(egl.display, config, surfaceAttributes);
    if (egl.surface == EGL_NO_SURFACE) {
        m_FailureDetail = EglError("eglCreatePbufferSurface");
        return GLSetup::SetPixelFormatFailed;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        m_FailureDetail = EglError("eglBindAPI");
        return GLSetup::CreateContextFailed;
    }
    // Display lists and the fixed-function pipeline need the compatibility profile.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    egl.context = eglCreateContext(egl.display, config, EGL_NO_CONTEXT, contextAttributes);
    if (egl.context == EGL_NO_CONTEXT) {
        m_FailureDetail = EglError("eglCreateContext");
        return GLSetup::CreateContextFailed;
    }
    if (!eglMakeCurrent(egl.display, egl.surface, egl.surface, egl.context)) {
        m_FailureDetail = EglError("eglMakeCurrent");
        return GLSetup::MakeCurrentFailed;
    }
    m_FailureDetail.clear();
    return GLSetup::Ok;
}

void OffscreenHost::MakeCurrent() {
    const Egl& egl = *m_pEgl;
    if (egl.context != EGL_NO_CONTEXT && eglGetCurrentContext() != egl.context)
        eglMakeCurrent(egl.display, egl.surface, egl.surface, egl.context);
}

void OffscreenHost::ReleaseGLContext() {
    Egl& egl = *m_pEgl;
    if (egl.display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (egl.context != EGL_NO_CONTEXT)
        eglDestroyContext(egl.display, egl.context);
    if (egl.surface != EGL_NO_SURFACE)
        eglDestroySurface(egl.display, egl.surface);
    // The display is shared by the whole process (and by every host): it stays initialised.
    egl = Egl{};
}

bool OffscreenHost::InputPending() {
    return m_bCloseRequested || SignalPipe::Terminated() ||
           (m_FrameLimit > 0 && m_FramesSwapped >= m_FrameLimit);
}

void OffscreenHost::WaitForInput(int) {}

void OffscreenHost::SwapBuffers() {
    // Reading back waits for the frame. Without it, wait all the same: a pbuffer swap does
    // not, and a software rasteriser then falls behind by dozens of queued frames (a window's
    // swap bounds the queue the same way).
    if (m_bReadBack)
        ReadFrameInto(m_BottomUp, m_LastFrame);
    else
        glFinish();
    if (m_FrameSink && (m_FrameLimit == 0 || m_FramesSwapped < m_FrameLimit))
        m_FrameSink(m_LastFrame);
    if (m_pEgl->display != EGL_NO_DISPLAY)
        eglSwapBuffers(m_pEgl->display, m_pEgl->surface);
    ++m_FramesSwapped;
}

std::vector<unsigned char> OffscreenHost::ReadFrame() const {
    std::vector<unsigned char> bottomUp;
    std::vector<unsigned char> topDown;
    ReadFrameInto(bottomUp, topDown);
    return topDown;
}

// Resizing to the size they already have, the buffers of a run are allocated once.
void OffscreenHost::ReadFrameInto(std::vector<unsigned char>& bottomUp,
                                  std::vector<unsigned char>& topDown) const {
    const size_t stride = static_cast<size_t>(m_Width) * 3;
    bottomUp.resize(stride * static_cast<size_t>(m_Height));
    topDown.resize(bottomUp.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_Width, m_Height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int y = 0; y < m_Height; ++y) {
        const auto* from = bottomUp.data() + static_cast<size_t>(m_Height - 1 - y) * stride;
        std::memcpy(topDown.data() + static_cast<size_t>(y) * stride, from, stride);
    }
}
