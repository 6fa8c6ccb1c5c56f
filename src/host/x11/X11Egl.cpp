#include "host/x11/X11Egl.h"

#include "host/posix/EglSetup.h"

#include <EGL/eglext.h>

#include <cstdlib>

namespace {

constexpr int kRoom = 256;

} // namespace

using EglSetup::Attribute;

X11Egl::~X11Egl() {
    Close();
}

void X11Egl::Close() {
    if (m_Display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(m_Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_Context != EGL_NO_CONTEXT)
        eglDestroyContext(m_Display, m_Context);
    if (m_Surface != EGL_NO_SURFACE)
        eglDestroySurface(m_Display, m_Surface);
    eglTerminate(m_Display);
    m_Display = EGL_NO_DISPLAY;
    m_Context = EGL_NO_CONTEXT;
    m_Surface = EGL_NO_SURFACE;
    m_Config = nullptr;
}

bool X11Egl::Open() {
    if (m_bTried)
        return m_Display != EGL_NO_DISPLAY;
    m_bTried = true;
    // A failure is ours to say in one line; the driver's own warnings only when asked for.
    setenv("EGL_LOG_LEVEL", "fatal", 0);
    EGLDisplay display = EglSetup::PlatformDisplay(EGL_PLATFORM_X11_KHR, m_XDisplay);
    EGLint major = 0;
    EGLint minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor))
        return false;
    m_Display = display;
    return eglBindAPI(EGL_OPENGL_API) == EGL_TRUE;
}

int X11Egl::Candidates(int minBits, EGLConfig* configs, int room) {
    return Open() ? EglSetup::Configs(m_Display, EGL_WINDOW_BIT, minBits, configs, room) : 0;
}

bool X11Egl::TakeVisual(VisualID visual) {
    EGLConfig configs[kRoom];
    const int count = Candidates(5, configs, kRoom);
    for (int i = 0; i < count; ++i) {
        if (static_cast<VisualID>(Attribute(m_Display, configs[i], EGL_NATIVE_VISUAL_ID)) ==
            visual) {
            m_Config = configs[i];
            return true;
        }
    }
    return false;
}

// 8-bit colour without alpha where there is such a configuration, then 8-bit colour, then
// the deepest other.
bool X11Egl::ChooseVisual(VisualID& visual) {
    EGLConfig configs[kRoom];
    const int count = Candidates(5, configs, kRoom);
    int best = -1;
    for (int i = 0; i < count && best != 2; ++i) {
        if (Attribute(m_Display, configs[i], EGL_NATIVE_VISUAL_ID) == 0)
            continue;
        const int rank = EglSetup::OpaqueRank(m_Display, configs[i], 8);
        if (rank > best) {
            best = rank;
            m_Config = configs[i];
        }
    }
    if (best < 0)
        return false;
    visual = static_cast<VisualID>(Attribute(m_Display, m_Config, EGL_NATIVE_VISUAL_ID));
    return true;
}

bool X11Egl::CreateSurface(Window window) {
    if (m_Config == nullptr)
        return false;
    m_Surface = eglCreateWindowSurface(m_Display, m_Config, window, nullptr);
    return m_Surface != EGL_NO_SURFACE;
}

bool X11Egl::CreateContext() {
    m_Context = EglSetup::CreateContext(m_Display, m_Config);
    return m_Context != EGL_NO_CONTEXT;
}

bool X11Egl::MakeCurrent() {
    return m_Context != EGL_NO_CONTEXT &&
           eglMakeCurrent(m_Display, m_Surface, m_Surface, m_Context) == EGL_TRUE;
}

void X11Egl::Release() {
    if (m_Display != EGL_NO_DISPLAY)
        eglMakeCurrent(m_Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void X11Egl::Swap() {
    eglSwapBuffers(m_Display, m_Surface);
}
