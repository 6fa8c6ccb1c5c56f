#include "host/wayland/WaylandEgl.h"

#include <EGL/eglext.h>

#include <cstdio>

std::string WaylandEglError(const char* call) {
    char text[80];
    std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04x)", call,
                  static_cast<unsigned>(eglGetError()));
    return text;
}

namespace {

// 2: 8-bit RGB without alpha, 1: 8-bit RGB with it, 0: anything else.
int Rank(EGLDisplay display, EGLConfig config) {
    EGLint red = 0;
    EGLint green = 0;
    EGLint blue = 0;
    EGLint alpha = 0;
    eglGetConfigAttrib(display, config, EGL_RED_SIZE, &red);
    eglGetConfigAttrib(display, config, EGL_GREEN_SIZE, &green);
    eglGetConfigAttrib(display, config, EGL_BLUE_SIZE, &blue);
    eglGetConfigAttrib(display, config, EGL_ALPHA_SIZE, &alpha);
    if (red != 8 || green != 8 || blue != 8)
        return 0;
    return alpha == 0 ? 2 : 1;
}

} // namespace

WaylandEgl::~WaylandEgl() {
    if (m_Display != EGL_NO_DISPLAY)
        eglTerminate(m_Display);
}

bool WaylandEgl::Open(wl_display* display, std::string& error) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    m_Display = getPlatformDisplay != nullptr
                    ? getPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, nullptr)
                    : eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(display));
    EGLint major = 0;
    EGLint minor = 0;
    if (m_Display == EGL_NO_DISPLAY || !eglInitialize(m_Display, &major, &minor)) {
        error = WaylandEglError("eglInitialize");
        m_Display = EGL_NO_DISPLAY;
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = WaylandEglError("eglBindAPI");
        return false;
    }
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 EGL_WINDOW_BIT,
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
    // Deeper colour sorts first, but not every compositor shows 10-bit buffers right, and an
    // alpha channel would let it blend the desktop through the scene: 8-bit XRGB where
    // there is one, then any 8-bit colour, then the first.
    EGLConfig configs[64];
    EGLint count = 0;
    if (!eglChooseConfig(m_Display, attributes, configs, 64, &count) || count < 1) {
        error = "no EGL configuration with RGB, depth and desktop OpenGL";
        return false;
    }
    m_Config = configs[0];
    int best = 0;
    for (EGLint i = 0; i < count && best < 2; ++i) {
        const int rank = Rank(m_Display, configs[i]);
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
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    return eglCreateContext(m_Display, m_Config, EGL_NO_CONTEXT, attributes);
}
