#include "host/x11/X11Egl.h"

#include <EGL/eglext.h>

#include <cstdlib>
#include <initializer_list>

namespace {

constexpr int kRoom = 256;

EGLint Attribute(EGLDisplay display, EGLConfig config, EGLint name) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

} // namespace

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
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = getPlatformDisplay != nullptr
                             ? getPlatformDisplay(EGL_PLATFORM_X11_KHR, m_XDisplay, nullptr)
                             : eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(m_XDisplay));
    EGLint major = 0;
    EGLint minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor))
        return false;
    m_Display = display;
    return eglBindAPI(EGL_OPENGL_API) == EGL_TRUE;
}

// Window configurations with desktop GL, a 16-bit depth buffer and at least minBits of
// red, green and blue, deepest colour first.
int X11Egl::Candidates(int minBits, EGLConfig* configs, int room) {
    if (!Open())
        return 0;
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,   EGL_RED_SIZE,   minBits,
                                 EGL_GREEN_SIZE,   minBits,        EGL_BLUE_SIZE,
                                 minBits,          EGL_DEPTH_SIZE, 16,
                                 EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(m_Display, attributes, configs, room, &count))
        return 0;
    return count;
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

// An alpha channel would have a compositor blend the desktop through the scene: 8-bit
// colour without one where there is such a configuration, then 8-bit colour, then any.
bool X11Egl::ChooseVisual(VisualID& visual) {
    EGLConfig configs[kRoom];
    for (const int bits : {8, 5}) {
        const int count = Candidates(bits, configs, kRoom);
        int best = -1;
        for (int i = 0; i < count && best != 2; ++i) {
            if (Attribute(m_Display, configs[i], EGL_NATIVE_VISUAL_ID) == 0)
                continue;
            const int rank = Attribute(m_Display, configs[i], EGL_ALPHA_SIZE) == 0 ? 2 : 1;
            if (rank > best) {
                best = rank;
                m_Config = configs[i];
            }
        }
        if (best > 0) {
            visual = static_cast<VisualID>(Attribute(m_Display, m_Config, EGL_NATIVE_VISUAL_ID));
            return true;
        }
    }
    return false;
}

bool X11Egl::CreateSurface(Window window) {
    if (m_Config == nullptr)
        return false;
    m_Surface = eglCreateWindowSurface(m_Display, m_Config, window, nullptr);
    return m_Surface != EGL_NO_SURFACE;
}

bool X11Egl::CreateContext() {
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    m_Context = eglCreateContext(m_Display, m_Config, EGL_NO_CONTEXT, attributes);
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
