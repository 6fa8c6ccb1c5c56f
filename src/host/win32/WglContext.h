#pragma once

#include "scene/SceneHost.h"

#include <windows.h>

// The context every scene draws in on Windows: RGBA, double buffered, 24-bit colour and at
// least 16-bit depth, made current on dc. On failure, failedCall names the Win32 call that
// failed (GetLastError still holds its reason) and context is what was made so far.
SceneHost::GLSetup CreateWglContext(HDC dc, HGLRC& context, const char*& failedCall);

// Deletes context (leaving no context current if it was) and clears it.
void ReleaseWglContext(HGLRC& context);
