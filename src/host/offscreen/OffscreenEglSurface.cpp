// The Linux off-screen surface: an EGL pbuffer, on Mesa's surfaceless platform when there is
// one.
#include "host/offscreen/OffscreenHost.h"

#include "host/posix/EglSetup.h"
#include "host/posix/SignalPipe.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>

struct OffscreenHost::Surface {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

namespace {

// Mesa's surfaceless platform needs no X server; without it, the default display.
EGLDisplay OpenDisplay() {
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (extensions != nullptr && std::strstr(extensions, "EGL_MESA_platform_surfaceless")) {
        const EGLDisplay display =
            EglSetup::PlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY);
        if (display != EGL_NO_DISPLAY)
            return display;
    }
    return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}

} // namespace

void OffscreenHost::SurfaceDelete::operator()(Surface* surface) const {
    delete surface;
}

SceneHost::GLSetup OffscreenHost::CreateGLContext() {
    ReleaseGLContext();
    m_pSurface.reset(new Surface);
    Surface& egl = *m_pSurface;
    egl.display = OpenDisplay();
    EGLint major = 0;
    EGLint minor = 0;
    if (egl.display == EGL_NO_DISPLAY || !eglInitialize(egl.display, &major, &minor)) {
        m_FailureDetail = EglSetup::Error("eglInitialize");
        egl.display = EGL_NO_DISPLAY;
        return GLSetup::ChoosePixelFormatFailed;
    }
    EGLConfig config = nullptr;
    if (EglSetup::Configs(egl.display, EGL_PBUFFER_BIT, 8, &config, 1) < 1) {
        m_FailureDetail = "no EGL configuration with RGB, depth and desktop OpenGL";
        return GLSetup::ChoosePixelFormatFailed;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, m_Width, EGL_HEIGHT, m_Height, EGL_NONE};
    egl.surface = eglCreatePbufferSurface(egl.display, config, surfaceAttributes);
    if (egl.surface == EGL_NO_SURFACE) {
        m_FailureDetail = EglSetup::Error("eglCreatePbufferSurface");
        return GLSetup::SetPixelFormatFailed;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        m_FailureDetail = EglSetup::Error("eglBindAPI");
        return GLSetup::CreateContextFailed;
    }
    egl.context = EglSetup::CreateContext(egl.display, config);
    if (egl.context == EGL_NO_CONTEXT) {
        m_FailureDetail = EglSetup::Error("eglCreateContext");
        return GLSetup::CreateContextFailed;
    }
    if (!eglMakeCurrent(egl.display, egl.surface, egl.surface, egl.context)) {
        m_FailureDetail = EglSetup::Error("eglMakeCurrent");
        return GLSetup::MakeCurrentFailed;
    }
    m_FailureDetail.clear();
    return GLSetup::Ok;
}

void OffscreenHost::MakeCurrent() {
    if (!m_pSurface)
        return;
    const Surface& egl = *m_pSurface;
    if (egl.context != EGL_NO_CONTEXT && eglGetCurrentContext() != egl.context)
        eglMakeCurrent(egl.display, egl.surface, egl.surface, egl.context);
}

void OffscreenHost::ReleaseGLContext() {
    if (!m_pSurface)
        return;
    Surface& egl = *m_pSurface;
    if (egl.display != EGL_NO_DISPLAY) {
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (egl.context != EGL_NO_CONTEXT)
            eglDestroyContext(egl.display, egl.context);
        if (egl.surface != EGL_NO_SURFACE)
            eglDestroySurface(egl.display, egl.surface);
    }
    // The display is shared by the whole process (and by every host): it stays initialised.
    m_pSurface.reset();
}

bool OffscreenHost::InputPending() {
    return m_bCloseRequested || SignalPipe::Terminated() ||
           (m_FrameLimit > 0 && m_FramesSwapped >= m_FrameLimit);
}

void OffscreenHost::SwapSurface() {
    if (m_pSurface && m_pSurface->display != EGL_NO_DISPLAY)
        eglSwapBuffers(m_pSurface->display, m_pSurface->surface);
}
