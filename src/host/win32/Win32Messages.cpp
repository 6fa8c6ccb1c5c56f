#include "host/win32/Win32Messages.h"

#include "core/tvLibrary.h"

#include <windows.h>

#include <cstdio>

namespace {

void ShowBox(tvLibrary::MessageKind kind, const std::string& caption, const std::string& text) {
    const bool error = kind == tvLibrary::MessageKind::Error;
    HWND owner = error ? GetActiveWindow() : GetForegroundWindow();
    const UINT icon = error ? MB_ICONERROR : MB_ICONINFORMATION;
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | icon);
}

bool HasStandardError() {
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

void InstallMessageBoxes() {
    tvLibrary::SetMessageSink(ShowBox);
}

void ReportStartupError(const std::string& text) {
    if (HasStandardError()) {
        std::fprintf(stderr, "Kinetora: %s\n", text.c_str());
        std::fflush(stderr);
        return;
    }
    MessageBoxA(GetForegroundWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
}
