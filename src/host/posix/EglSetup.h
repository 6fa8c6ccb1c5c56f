#pragma once

#include <EGL/egl.h>

#include <string>

// What the EGL hosts (off screen, X11, Wayland) share: the display's platform, the
// configurations the engine can draw with, and its context.
namespace EglSetup {

// "eglCall failed (EGL error 0x3003)", from the last EGL error, for messages.
std::string Error(const char* call);
// The platform's display for a native one, through the platform extension where the
// library has it; EGL_NO_DISPLAY when there is none.
EGLDisplay PlatformDisplay(EGLenum platform, void* native);
// Up to room configurations of surfaceBit with desktop OpenGL, a 16-bit depth buffer and at
// least minBits of red, green and blue, deepest colour first; returns their count.
int Configs(EGLDisplay display, EGLint surfaceBit, int minBits, EGLConfig* configs, int room);
EGLint Attribute(EGLDisplay display, EGLConfig config, EGLint name);
// 2 for colour of bits a channel without alpha, 1 with alpha, 0 for other colour: an alpha
// channel would have a compositor blend the desktop through the scene.
int OpaqueRank(EGLDisplay display, EGLConfig config, EGLint bits);
// A compatibility-profile context: display lists and the fixed-function pipeline need it.
EGLContext CreateContext(EGLDisplay display, EGLConfig config);

} // namespace EglSetup
