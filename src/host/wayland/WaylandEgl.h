#pragma once

#include <EGL/egl.h>

#include <string>

struct wl_display;

// The EGL display on a Wayland connection, with the one configuration every surface of the
// run uses: 8-bit colour, a depth buffer and desktop OpenGL (display lists, fixed function).
class WaylandEgl {
public:
    WaylandEgl() = default;
    ~WaylandEgl();
    WaylandEgl(const WaylandEgl&) = delete;
    WaylandEgl& operator=(const WaylandEgl&) = delete;

    // False with a one-line reason when there is no usable display or configuration.
    bool Open(wl_display* display, std::string& error);
    bool IsOpen() const { return m_Config != nullptr; }

    EGLDisplay Display() const { return m_Display; }
    EGLConfig Config() const { return m_Config; }
    // A compatibility-profile context of its own for one surface.
    EGLContext CreateContext() const;

private:
    EGLDisplay m_Display = EGL_NO_DISPLAY;
    EGLConfig m_Config = nullptr;
};
