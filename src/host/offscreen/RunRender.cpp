#include "host/offscreen/OffscreenHost.h"

#include "app/RunSession.h"
#include "core/MemoryProfileStore.h"
#include "core/ProfileStore.h"
#include "core/ReadOnlyStore.h"
#include "host/offscreen/PngWriter.h"
#include "host/posix/SignalPipe.h"
#include "scene/GLContext.h"
#include "scene/SceneWnd.h"

#include <iostream>

namespace {

// Paints that draw nothing in a row before the run gives up (a blanked window, say).
constexpr int kMaxIdlePaints = 3;

bool CheckOptions(const RenderOptions& options) {
    if (options.path.empty()) {
        std::cerr << "kinetora: --render needs the name of a PNG file\n";
        return false;
    }
    if (options.frames < 1) {
        std::cerr << "kinetora: the number of frames must be at least 1\n";
        return false;
    }
    if (!RunSession::SizeAllowed(options.width, options.height)) {
        std::cerr << "kinetora: the picture size must be from 1x1 to " << RunSession::MaxSize << "x"
                  << RunSession::MaxSize << "\n";
        return false;
    }
    return true;
}

// Fails early, before any drawing, when the picture could not be written; nothing is
// created until the picture is complete.
bool CheckWritable(const std::string& path) {
    std::string error;
    if (CanWritePng(path, error))
        return true;
    std::cerr << "kinetora: cannot write " << path << ": " << error << "\n";
    return false;
}

} // namespace

void PaintFrames(CSceneWnd& wnd, OffscreenHost& host, int frames) {
    int idle = 0;
    while (host.FramesSwapped() < frames && !host.CloseRequested() && !SignalPipe::Terminated() &&
           wnd.NeedsPaint()) {
        const int before = host.FramesSwapped();
        wnd.OnPaint();
        idle = host.FramesSwapped() == before ? idle + 1 : 0;
        if (idle >= kMaxIdlePaints)
            break;
    }
}

int RunRender(const RenderOptions& options, std::unique_ptr<ProfileStore> store) {
    const SignalPipe signals;
    if (!CheckOptions(options) || !CheckWritable(options.path))
        return 1;

    OffscreenHost host(options.width, options.height, options.frames);
    if (!store)
        store = std::make_unique<MemoryProfileStore>();
    // A preview run: the settings never write the frame-rate record back. Read only, with a
    // fixed record when none was measured, so a seed always gives the same picture.
    RunSession session(ModePreview, options.seed,
                       std::make_unique<ReadOnlyStore>(std::move(store), true));
    if (!session.Open(std::make_unique<CSceneWnd>(host), options.width, options.height, true)) {
        std::cerr << "kinetora: no off-screen OpenGL context: " << host.FailureDetail() << "\n";
        return 1;
    }
    PaintFrames(session.Wnd(), host, options.frames);

    // A picture from fewer frames than asked for is not the picture the seed promises.
    if (SignalPipe::Terminated()) {
        std::cerr << "kinetora: render stopped by " << SignalPipe::TerminatingSignalName()
                  << " after " << host.FramesSwapped() << " of " << options.frames << " frames; "
                  << options.path << " not written\n";
        return 128 + SignalPipe::TerminatingSignal();
    }
    if (host.LastFrame().empty()) {
        std::cerr << "kinetora: no frame was drawn\n";
        return 1;
    }
    std::string error;
    if (!WritePng(options.path, options.width, options.height, host.LastFrame(), error)) {
        std::cerr << "kinetora: cannot write " << options.path << ": " << error << "\n";
        return 1;
    }
    return 0;
}
