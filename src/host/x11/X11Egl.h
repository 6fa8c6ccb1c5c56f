#pragma once

#include <EGL/egl.h>
#include <X11/Xlib.h>

// The GL side of an X window: an EGL display on the window's own X connection, the one
// configuration its visual takes, a window surface and a compatibility-profile context.
// EGL rather than GLX: Mesa's GLX, on its first call, fetches the server's visuals and
// configurations and matches each against the driver's, some 20 to 30 ms before the first
// frame that its EGL does not spend.
class X11Egl {
public:
    explicit X11Egl(Display* display) : m_XDisplay(display) {}
    ~X11Egl();
    X11Egl(const X11Egl&) = delete;
    X11Egl& operator=(const X11Egl&) = delete;

    // The configuration for windows of this visual (as a daemon made them); false when GL
    // cannot draw in them: no RGB of at least 5 bits a channel or no 16-bit depth buffer.
    bool TakeVisual(VisualID visual);
    // The best configuration for a window of our own, 8-bit colour first, and the visual the
    // window must have; false when there is none.
    bool ChooseVisual(VisualID& visual);

    bool CreateSurface(Window window);
    bool CreateContext();
    bool MakeCurrent();
    void Release();
    void Swap();
    // Surface, context and display go (before the window does); idempotent.
    void Close();

private:
    bool Open();
    int Candidates(int minBits, EGLConfig* configs, int room);

    Display* m_XDisplay;
    EGLDisplay m_Display = EGL_NO_DISPLAY;
    bool m_bTried = false;
    EGLConfig m_Config = nullptr;
    EGLSurface m_Surface = EGL_NO_SURFACE;
    EGLContext m_Context = EGL_NO_CONTEXT;
};
