#include "app/CommandLine.h"
#include "app/SaverApp.h"
#include "core/ProfileStore.h"
#include "host/offscreen/Bench.h"
#include "host/offscreen/OffscreenHost.h"
#include "host/posix/DesktopOpen.h"
#include "host/posix/SheetModule.h"
#include "host/qt/QtProfileStore.h"
#include "host/x11/X11Session.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

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
    return RunRender(options, QtProfileStore::OpenDefault());
}

int Bench(const CommandLine& cl) {
    BenchOptions options;
    options.seconds = cl.seconds;
    if (cl.hasFrames)
        options.sceneFrames = cl.frames;
    options.scenes = cl.scenes;
    if (cl.width > 0) {
        options.width = cl.width;
        options.height = cl.height;
    }
    options.seed = Seed(cl);
    return RunBench(options, QtProfileStore::OpenDefault());
}

// Whether the sheet's toolkit will draw on the X server that DISPLAY names: no other
// platform is asked for, and no Wayland display is there to be tried first. A server that is
// not there would end the toolkit's start-up with an abort.
bool SheetNeedsX() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0')
        return std::string(platform).rfind("xcb", 0) == 0;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return wayland == nullptr || *wayland == '\0';
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
        if (SheetNeedsX() && !CanOpenDisplay()) {
            const char* name = std::getenv("DISPLAY");
            std::fprintf(stderr, "kinetora: cannot open display '%s'\n",
                         name != nullptr ? name : "");
            return 1;
        }
    }
    gApp.Init(mode, Seed(cl), QtProfileStore::OpenDefault());
    if (sheet != nullptr) {
        gApp.SetConfigSheet(sheet->run);
        gApp.DoConfig();
    }
    gApp.Shutdown();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
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
    case CommandLine::Mode::Render:
        return Render(cl);
    case CommandLine::Mode::Bench:
        return Bench(cl);
    case CommandLine::Mode::Configure:
        return RunModal(ModeConfigure, cl);
    case CommandLine::Mode::ChangePassword:
        return RunModal(ModeChangePassword, cl);
    case CommandLine::Mode::Preview:
    case CommandLine::Mode::Saver:
    case CommandLine::Mode::Hosted:
    case CommandLine::Mode::Windowed:
        return RunOnScreen(cl, QtProfileStore::OpenDefault(), RunEnd::ExitProcess);
    }
    return 1;
}
