// The preview smoke test's stand-in for the display settings: makes a window, starts
// "<saver> /p <its handle>", lets the preview draw for a while, then destroys the window,
// as the settings do when they close, and expects the saver to end by itself.
// Usage: kinetora_preview_parent <saver path> [seconds]. Exit status 0 when the preview made
// its child window over the whole client area and ended with status 0 within 30 s of the
// parent's end. kinetora_preview_parent --desktop prints the desktop window's handle, a
// parent the saver must refuse. The colours the screen shows there are printed, not required: Wine
// does not show GL drawn in a child of another process's window (on Windows they are many).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeParent() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "KinetoraPreviewParent";
    RegisterClassExA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Preview", WS_POPUP | WS_VISIBLE, 40, 40,
                                kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(hwnd);
    return hwnd;
}

// Runs this thread's messages for ms milliseconds.
void Pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    for (DWORD now = GetTickCount(); static_cast<LONG>(end - now) > 0; now = GetTickCount()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// Distinct colours on a coarse grid of the window as the screen shows it.
size_t ColoursShown(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    HDC screen = GetDC(nullptr);
    std::set<COLORREF> colours;
    for (int y = r.top + 8; y < r.bottom; y += 16)
        for (int x = r.left + 8; x < r.right; x += 16)
            colours.insert(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return colours.size();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kinetora_preview_parent <saver> [seconds]\n");
        return 2;
    }
    if (std::string(argv[1]) == "--desktop") {
        std::printf("%llu\n", static_cast<unsigned long long>(
                                  reinterpret_cast<UINT_PTR>(GetDesktopWindow())));
        return 0;
    }
    const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 3;
    HWND parent = MakeParent();
    std::string command =
        std::string("\"") + argv[1] + "\" /p " + std::to_string(reinterpret_cast<UINT_PTR>(parent));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", command.c_str(), GetLastError());
        return 1;
    }
    Pump(seconds * 1000);
    HWND child = FindWindowExA(parent, nullptr, "KinetoraScene", nullptr);
    RECT client{};
    if (child != nullptr)
        GetClientRect(child, &client);
    const size_t colours = child != nullptr ? ColoursShown(child) : 0;
    std::printf("preview child %s, %ldx%ld, %u colours shown\n", child ? "found" : "missing",
                client.right, client.bottom, static_cast<unsigned>(colours));

    DestroyWindow(parent);
    // Generous: a loaded machine slows Wine's delivery of the destruction, not the rule.
    const DWORD waited = WaitForSingleObject(pi.hProcess, 30000);
    DWORD status = 1;
    if (waited == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &status);
    else
        TerminateProcess(pi.hProcess, 1);
    std::printf("saver %s, status %lu\n", waited == WAIT_OBJECT_0 ? "ended" : "did not end",
                status);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    const bool ok = child != nullptr && client.right == kWidth && client.bottom == kHeight &&
                    waited == WAIT_OBJECT_0 && status == 0;
    return ok ? 0 : 1;
}
