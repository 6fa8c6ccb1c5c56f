#include "host/wayland/WaylandEgl.h"

#include "host/posix/EglSetup.h"

#include <EGL/eglext.h>

WaylandEgl::~WaylandEgl() {
    if (m_Display != EGL_NO_DISPLAY)
        eglTerminate(m_Display);
}

bool WaylandEgl::Open(wl_display* display, std::string& error) {
    m_Display = EglSetup::PlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display);
    EGLint major = 0;
    EGLint minor = 0;
    if (m_Display == EGL_NO_DISPLAY || !eglInitialize(m_Display, &major, &minor)) {
        error = EglSetup::Error("eglInitialize");
        m_Display = EGL_NO_DISPLAY;
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = EglSetup::Error("eglBindAPI");
        return false;
    }
    // Deeper colour sorts first, but not every compositor shows 10-bit buffers right, and an
    // alpha channel would let it blend the desktop through the scene: 8-bit XRGB where
    // there is one, then any 8-bit colour, then the first.
    EGLConfig configs[64];
    const int count = EglSetup::Configs(m_Display, EGL_WINDOW_BIT, 8, configs, 64);
    if (count < 1) {
        error = "no EGL configuration with RGB, depth and desktop OpenGL";
        return false;
    }
    m_Config = configs[0];
    int best = 0;
    for (int i = 0; i < count && best < 2; ++i) {
        const int rank = EglSetup::OpaqueRank(m_Display, configs[i], 8);
        if (rank > best) {
            best = rank;
            m_Config = configs[i];
        }
    }
    return true;
}

EGLContext WaylandEgl::CreateContext() const {
    if (!IsOpen())
        return EGL_NO_CONTEXT;
    return EglSetup::CreateContext(m_Display, m_Config);
}
