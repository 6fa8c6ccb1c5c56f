#include "host/offscreen/OffscreenHost.h"

#include "app/RunSession.h"
#include "core/MemoryProfileStore.h"
#include "core/ProfileStore.h"
#include "core/ReadOnlyStore.h"
#include "host/offscreen/PngWriter.h"
#include "host/posix/SignalPipe.h"
#include "scene/GLContext.h"
#include "scene/SceneWnd.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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

// Fails early, before any drawing, when the file cannot be created. created tells whether
// the file is new, so a failed run removes only what it made.
bool CheckWritable(const std::string& path, bool& created) {
    created = access(path.c_str(), F_OK) != 0;
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        std::cerr << "kinetora: cannot write " << path << ": " << std::strerror(errno) << "\n";
        return false;
    }
    std::fclose(file);
    return true;
}

// Paints until the host has swapped the frames asked for.
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

} // namespace

int RunRender(const RenderOptions& options, std::unique_ptr<ProfileStore> store) {
    // Before the file exists, so that a signal never leaves an empty file behind.
    const SignalPipe signals;
    bool created = false;
    if (!CheckOptions(options) || !CheckWritable(options.path, created))
        return 1;
    auto discard = [&] {
        if (created)
            std::remove(options.path.c_str());
    };

    OffscreenHost host(options.width, options.height, options.frames);
    if (!store)
        store = std::make_unique<MemoryProfileStore>();
    // A preview run: the settings never write the frame-rate record back. Read only, with a
    // fixed record when none was measured, so a seed always gives the same picture.
    RunSession session(ModePreview, options.seed,
                       std::make_unique<ReadOnlyStore>(std::move(store), true));
    if (!session.Open(std::make_unique<CSceneWnd>(host), options.width, options.height, true)) {
        std::cerr << "kinetora: no off-screen OpenGL context: " << host.FailureDetail() << "\n";
        discard();
        return 1;
    }
    PaintFrames(session.Wnd(), host, options.frames);

    // A picture from fewer frames than asked for is not the picture the seed promises.
    if (SignalPipe::Terminated()) {
        std::cerr << "kinetora: render stopped by " << SignalPipe::TerminatingSignalName()
                  << " after " << host.FramesSwapped() << " of " << options.frames << " frames; "
                  << options.path << " not written\n";
        discard();
        return 128 + SignalPipe::TerminatingSignal();
    }
    if (host.LastFrame().empty()) {
        std::cerr << "kinetora: no frame was drawn\n";
        discard();
        return 1;
    }
    std::string error;
    if (!WritePng(options.path, options.width, options.height, host.LastFrame(), error)) {
        std::cerr << "kinetora: cannot write " << options.path << ": " << error << "\n";
        return 1;
    }
    return 0;
}
