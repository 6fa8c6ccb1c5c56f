#include "app/CommandLine.h"
#include "app/SaverApp.h"
#include "core/ProfileStore.h"
#include "host/offscreen/Bench.h"
#include "host/offscreen/OffscreenHost.h"
#include "host/offscreen/RunRecord.h"
#include "host/posix/DesktopOpen.h"
#include "host/posix/HeifModule.h"
#include "host/posix/IniProfileStore.h"
#include "host/posix/SheetModule.h"
#include "host/posix/TraceFile.h"
#include "host/x11/X11Session.h"
#ifdef KINETORA_HAVE_WAYLAND
#include "host/wayland/WaylandSession.h"
#endif
#include "images/ImageHEIF.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

std::optional<long> Seed(const CommandLine& cl) {
    return cl.hasSeed ? std::optional<long>(cl.seed) : std::nullopt;
}

int Render(const CommandLine& cl) {
    RenderOptions options;
    options.path = cl.outputFile;
    options.frames = cl.frames;
    if (cl.width > 0) {
        options.width = cl.width;
        options.height = cl.height;
    }
    options.seed = Seed(cl);
    return RunRender(options, IniProfileStore::OpenDefault());
}

int Record(const CommandLine& cl) {
    RecordOptions options;
    options.path = cl.outputFile;
    // Ten seconds unless told otherwise; a fraction of a frame still makes one.
    options.frames =
        cl.hasFrames ? cl.frames : std::max(1, static_cast<int>(std::lround(cl.seconds * 25)));
    if (cl.width > 0) {
        options.width = cl.width;
        options.height = cl.height;
    }
    options.seed = Seed(cl);
    return RunRecord(options, IniProfileStore::OpenDefault());
}

int Bench(const CommandLine& cl) {
    BenchOptions options;
    options.seconds = cl.seconds;
    if (cl.hasFrames)
        options.sceneFrames = cl.frames;
    options.scenes = cl.scenes;
    options.windows = cl.windows;
    if (cl.width > 0) {
        options.width = cl.width;
        options.height = cl.height;
    }
    options.seed = Seed(cl);
    return RunBench(options, IniProfileStore::OpenDefault());
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Whether a Wayland compositor's socket is where WAYLAND_DISPLAY says.
bool HasWaylandSocket() {
    const std::string name = Env("WAYLAND_DISPLAY");
    if (name.empty())
        return false;
    const std::string runtime = Env("XDG_RUNTIME_DIR");
    const std::string path = name[0] == '/' ? name : runtime + "/" + name;
    std::error_code error;
    return (name[0] == '/' || !runtime.empty()) &&
           std::filesystem::is_socket(std::filesystem::path(path), error);
}

// Whether the sheet's toolkit will find a display to draw on. It tries a Wayland compositor
// first when one is named, then the X server, unless another platform is asked for; when
// none answers it aborts the process, so the X server is asked here first.
bool SheetDisplayAnswers() {
    const std::string platform = Env("QT_QPA_PLATFORM");
    if (!platform.empty() && platform.rfind("xcb", 0) != 0)
        return true;
    if (platform.empty() && HasWaylandSocket())
        return true;
    return CanOpenDisplay();
}

// Configure and change password: the settings are loaded (a first run times the machine)
// and the run ends.
int RunModal(RunMode mode, const CommandLine& cl) {
    const SheetModule* sheet = nullptr;
    if (mode == ModeConfigure) {
        std::string error;
        sheet = LoadSheetModule(error);
        if (sheet == nullptr) {
            std::fprintf(stderr, "kinetora: the configuration sheet cannot be loaded: %s\n",
                         error.c_str());
            return 1;
        }
        if (!sheet->canShow()) {
            std::fputs("kinetora: no display for the configuration sheet (DISPLAY is not set); "
                       "try 'kinetora --help'\n",
                       stderr);
            return 1;
        }
        if (!SheetDisplayAnswers()) {
            const std::string name =
                Env("DISPLAY").empty() ? Env("WAYLAND_DISPLAY") : Env("DISPLAY");
            std::fprintf(stderr, "kinetora: cannot open display '%s'\n", name.c_str());
            return 1;
        }
    }
    gApp.Init(mode, Seed(cl), IniProfileStore::OpenDefault());
    if (sheet != nullptr) {
        gApp.SetConfigSheet(sheet->run);
        gApp.DoConfig();
    }
    gApp.Shutdown();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    TraceLog::SetFileOpener(OpenOwnTraceFile);
    ImageHEIF::SetDecoderSource(LoadHeifModule);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLine cl = ParseCommandLine(args, std::getenv("XSCREENSAVER_WINDOW"));
    gApp.SetDocumentOpener(OpenWithDesktop);
    gApp.SetRunOverrides(cl.overrides);

    switch (cl.mode) {
    case CommandLine::Mode::Invalid:
        std::fprintf(stderr, "kinetora: %s\n", cl.error.c_str());
        return 2;
    case CommandLine::Mode::Help:
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    case CommandLine::Mode::Version:
        std::printf("kinetora %s\n", CSaverApp::GetProductVersion().c_str());
        return 0;
    // Runs that may have given up a photograph's decode end where its worker cannot be hurt.
    case CommandLine::Mode::Render:
        return ImageHEIF::EndProcess(Render(cl));
    case CommandLine::Mode::Record:
        return ImageHEIF::EndProcess(Record(cl));
    case CommandLine::Mode::Bench:
        return ImageHEIF::EndProcess(Bench(cl));
    case CommandLine::Mode::Configure:
        return ImageHEIF::EndProcess(RunModal(ModeConfigure, cl));
    case CommandLine::Mode::ChangePassword:
        return RunModal(ModeChangePassword, cl);
    case CommandLine::Mode::Saver:
    case CommandLine::Mode::Windowed:
#ifdef KINETORA_HAVE_WAYLAND
        // In a Wayland session the compositor's own surfaces cover every output; --x11
        // keeps the X server (XWayland).
        if (!cl.forceX11 && HasWaylandSocket() && CanReachWayland())
            return RunOnWayland(cl, IniProfileStore::OpenDefault(), RunEnd::ExitProcess);
#endif
        return RunOnScreen(cl, IniProfileStore::OpenDefault(), RunEnd::ExitProcess);
    case CommandLine::Mode::Preview:
    case CommandLine::Mode::Hosted:
        return RunOnScreen(cl, IniProfileStore::OpenDefault(), RunEnd::ExitProcess);
    }
    return 1;
}
