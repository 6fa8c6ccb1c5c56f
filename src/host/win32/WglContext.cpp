#include "host/win32/WglContext.h"

SceneHost::GLSetup CreateWglContext(HDC dc, HGLRC& context, const char*& failedCall) {
    using GLSetup = SceneHost::GLSetup;
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 16;
    failedCall = "ChoosePixelFormat";
    const int format = dc != nullptr ? ChoosePixelFormat(dc, &pfd) : 0;
    if (format == 0)
        return GLSetup::ChoosePixelFormatFailed;
    failedCall = "SetPixelFormat";
    if (!SetPixelFormat(dc, format, &pfd))
        return GLSetup::SetPixelFormatFailed;
    failedCall = "wglCreateContext";
    context = wglCreateContext(dc);
    if (context == nullptr)
        return GLSetup::CreateContextFailed;
    failedCall = "wglMakeCurrent";
    if (!wglMakeCurrent(dc, context))
        return GLSetup::MakeCurrentFailed;
    failedCall = "";
    return GLSetup::Ok;
}

void ReleaseWglContext(HGLRC& context) {
    if (context == nullptr)
        return;
    if (wglGetCurrentContext() == context)
        wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    context = nullptr;
}
