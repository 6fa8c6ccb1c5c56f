#include "host/posix/EglSetup.h"

#include <EGL/eglext.h>

#include <cstdio>

namespace EglSetup {

std::string Error(const char* call) {
    char text[80];
    std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04x)", call,
                  static_cast<unsigned>(eglGetError()));
    return text;
}

EGLDisplay PlatformDisplay(EGLenum platform, void* native) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    return getPlatformDisplay != nullptr
               ? getPlatformDisplay(platform, native, nullptr)
               : eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(native));
}

int Configs(EGLDisplay display, EGLint surfaceBit, int minBits, EGLConfig* configs, int room) {
    const EGLint attributes[] = {EGL_SURFACE_TYPE, surfaceBit, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,     minBits,    EGL_GREEN_SIZE,      minBits,
                                 EGL_BLUE_SIZE,    minBits,    EGL_DEPTH_SIZE,      16,
                                 EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, configs, room, &count))
        return 0;
    return count;
}

EGLint Attribute(EGLDisplay display, EGLConfig config, EGLint name) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

int OpaqueRank(EGLDisplay display, EGLConfig config, EGLint bits) {
    for (const EGLint channel : {EGL_RED_SIZE, EGL_GREEN_SIZE, EGL_BLUE_SIZE}) {
        if (Attribute(display, config, channel) != bits)
            return 0;
    }
    return Attribute(display, config, EGL_ALPHA_SIZE) == 0 ? 2 : 1;
}

EGLContext CreateContext(EGLDisplay display, EGLConfig config) {
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    return eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
}

} // namespace EglSetup
