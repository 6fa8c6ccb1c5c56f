#include "host/wayland/WaylandEgl.h"

#include <EGL/eglext.h>

#include <cstdio>

std::string WaylandEglError(const char* call) {
    char text[80];
    std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04x)", call,
                  static_cast<unsigned>(eglGetError()));
    return text;
}

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
    EGLint count = 0;
    if (!eglChooseConfig(m_Display, attributes, &m_Config, 1, &count) || count < 1) {
        m_Config = nullptr;
        error = "no EGL configuration with RGB, depth and desktop OpenGL";
        return false;
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
