// Kinetora.scr: the Windows screen saver. The system starts it with /s (full screen),
// /p <hwnd> (preview in the display settings), /c (configure) or /a <hwnd> (change password).
#include "app/CommandLine.h"
#include "app/RunSession.h"
#include "app/SaverApp.h"
#include "app/ScreenWnd.h"
#include "host/win32/FolderMarks.h"
#include "host/win32/RegistryProfileStore.h"
#include "host/win32/VersionResource.h"
#include "host/win32/Win32ConfigSheet.h"
#include "host/win32/Win32Host.h"
#include "host/win32/Win32Messages.h"
#include "scene/SceneWnd.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

std::optional<long> Seed(const CommandLine& cl) {
    return cl.hasSeed ? std::optional<long>(cl.seed) : std::nullopt;
}

// On the systems this program runs on (the NT family) the system owns the screen-saver
// password; the old platforms' entry point is still asked for, as it may be provided.
void ChangePassword(const std::vector<std::string>& args) {
    unsigned long id = 0;
    if (args.size() < 2 || !ParseWindowId(args[1], id))
        return; // no parent given: nothing to ask
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    if (mpr == nullptr)
        return;
    using PwdChangePassword = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    const auto change = reinterpret_cast<PwdChangePassword>(
        reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA")));
    if (change != nullptr)
        change("SCRSAVE", reinterpret_cast<HWND>(static_cast<UINT_PTR>(id)), 0, nullptr);
    FreeLibrary(mpr);
}

// The help page, through the shell's "open" verb (the user's browser).
bool OpenDocument(const std::string& path) {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(
        GetForegroundWindow(), "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

int RunModal(RunMode mode, const CommandLine& cl, const std::vector<std::string>& args) {
    gApp.Init(mode, Seed(cl), RegistryProfileStore::OpenDefault());
    gApp.SetDocumentOpener(OpenDocument);
    if (mode == ModeChangePassword) {
        ChangePassword(args);
    } else {
        gApp.SetConfigSheet(RunWin32ConfigSheet);
        gApp.DoConfig();
    }
    gApp.Shutdown();
    return 0;
}

Win32Host::Kind HostKind(CommandLine::Mode mode) {
    switch (mode) {
    case CommandLine::Mode::Saver:
        return Win32Host::Kind::FullScreen;
    case CommandLine::Mode::Preview:
        return Win32Host::Kind::Child;
    default:
        return Win32Host::Kind::TopLevel;
    }
}

// Preview, full screen, or a window: the WM_PAINT loop until the window is destroyed.
int RunOnScreen(HINSTANCE instance, const CommandLine& cl) {
    const HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(cl.windowId));
    Win32Host host(instance, HostKind(cl.mode), parent);
    std::string error;
    if (!host.Create(error)) {
        ReportStartupError(error);
        return 1;
    }
    const bool saver = cl.mode == CommandLine::Mode::Saver;
    bool opened = false;
    {
        RunSession session(saver ? ModeSaver : ModePreview, Seed(cl),
                           RegistryProfileStore::OpenDefault());
        CScreenWnd* screen = nullptr;
        if (saver) {
            auto owned = std::make_unique<CScreenWnd>(host);
            screen = owned.get();
            opened = session.Open(std::move(owned), host.Width(), host.Height(), false);
        } else {
            opened =
                session.Open(std::make_unique<CSceneWnd>(host), host.Width(), host.Height(), false);
        }
        if (opened) {
            host.Attach(&session.Wnd(), screen);
            host.Show();
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                host.SyncPaint();
            }
        }
        host.Attach(nullptr, nullptr);
    } // the scene, the window, then the settings (which write their record)
    int status = opened ? 0 : 1;
    if (host.GLFailed())
        status = 1;
    return status;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLine cl = ParseCommandLine(args, nullptr);
    InstallMessageBoxes();
    tvFolder::SetMarksReader(&ReadFolderMarks);

    switch (cl.mode) {
    case CommandLine::Mode::Invalid:
        ReportStartupError(cl.error);
        return 2;
    case CommandLine::Mode::Help:
        ReportStartupError("usage: Kinetora.scr /s | /p <hwnd> | /c | /a <hwnd> [/r<seed>]");
        return 0;
    case CommandLine::Mode::Version:
        ReportStartupError("version " + ModuleProductVersion());
        return 0;
    case CommandLine::Mode::Render:
    case CommandLine::Mode::Record:
    case CommandLine::Mode::Bench:
    case CommandLine::Mode::Hosted:
        ReportStartupError("this switch is not available on Windows");
        return 2;
    case CommandLine::Mode::Configure:
        return RunModal(ModeConfigure, cl, args);
    case CommandLine::Mode::ChangePassword:
        return RunModal(ModeChangePassword, cl, args);
    case CommandLine::Mode::Preview:
    case CommandLine::Mode::Saver:
    case CommandLine::Mode::Windowed:
        return RunOnScreen(GetModuleHandleA(nullptr), cl);
    }
    return 0;
}
