#include "host/offscreen/RunRecord.h"

#include "app/RunSession.h"
#include "core/MemoryProfileStore.h"
#include "core/ProfileStore.h"
#include "core/ReadOnlyStore.h"
#include "core/RegSettings.h"
#include "core/tvTimer.h"
#include "host/offscreen/OffscreenHost.h"
#include "host/offscreen/RecordOutput.h"
#include "host/offscreen/Y4mEncoder.h"
#include "host/posix/SignalPipe.h"
#include "scene/SceneWnd.h"

#include <csignal>
#include <iostream>

namespace {

constexpr int kFrameMs = 1000 / Y4mEncoder::FramesPerSecond;

// The time of the recording: 40 ms for every frame swapped. The scene's rules that read
// the clock (a scene too slow to watch, the measured frame rate) then see a machine that
// keeps 25 frames per second, however long a frame really took.
class FrameClock : public tvClock {
public:
    explicit FrameClock(const OffscreenHost& host) : m_Host(host) {}
    bool Frequency(std::int64_t& ticksPerSecond) const override {
        ticksPerSecond = 1000;
        return true;
    }
    std::int64_t Counter() const override {
        return std::int64_t{m_Host.FramesSwapped()} * kFrameMs;
    }
    int Clock() const override { return static_cast<int>(Counter()); }

private:
    const OffscreenHost& m_Host;
};

// A reader that goes away then fails the write with EPIPE instead of killing the process
// before it could say so.
class SigpipeIgnored {
public:
    SigpipeIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGPIPE, &ignore, &m_Previous);
    }
    ~SigpipeIgnored() { sigaction(SIGPIPE, &m_Previous, nullptr); }
    SigpipeIgnored(const SigpipeIgnored&) = delete;
    SigpipeIgnored& operator=(const SigpipeIgnored&) = delete;

private:
    struct sigaction m_Previous {};
};

bool CheckOptions(const RecordOptions& options) {
    if (options.path.empty()) {
        std::cerr << "kinetora: --record needs the name of a file, or - for standard output\n";
        return false;
    }
    if (options.frames < 1) {
        std::cerr << "kinetora: the number of frames must be at least 1\n";
        return false;
    }
    if (!RunSession::SizeAllowed(options.width, options.height) ||
        !Y4mEncoder::SizeAllowed(options.width, options.height)) {
        std::cerr << "kinetora: the video size must be even on both sides, from 2x2 to "
                  << RunSession::MaxSize << "x" << RunSession::MaxSize << "\n";
        return false;
    }
    return true;
}

// Every scene draws with the budget the run starts from, as a fixed --polygons would: an
// adapted budget would follow how fast this machine drew the scenes before.
void FreezeBudget(RegSettings& settings) {
    if (settings.PolygonsFixed())
        return;
    RunOverrides overrides = settings.Overrides();
    overrides.polygons = settings.Polygons();
    settings.ApplyRunOverrides(overrides);
}

} // namespace

int RunRecord(const RecordOptions& options, std::unique_ptr<ProfileStore> store) {
    const SignalPipe signals;
    const SigpipeIgnored sigpipe;
    if (!CheckOptions(options))
        return 1;
    RecordOutput output(options.path, options.outputFd, signals.ReadFd());
    std::string error;
    if (!output.Open(error)) {
        std::cerr << "kinetora: cannot write " << output.Name() << ": " << error << "\n";
        return 1;
    }

    Y4mEncoder encoder(options.width, options.height);
    OffscreenHost host(options.width, options.height, options.frames);
    const FrameClock clock(host);
    const ScopedTimerClock timerClock(clock);
    if (!store)
        store = std::make_unique<MemoryProfileStore>();
    // As --render: a preview run on settings that are read, never written.
    RunSession session(ModePreview, options.seed,
                       std::make_unique<ReadOnlyStore>(std::move(store), true));
    FreezeBudget(session.Settings());

    int written = 0;
    bool failed = false;
    host.SetFrameSink([&](const std::vector<unsigned char>& rgb) {
        if (failed)
            return;
        const std::vector<unsigned char>& frame = encoder.Encode(rgb);
        if (output.Write(frame.data(), frame.size(), error)) {
            ++written;
            return;
        }
        failed = true;
        host.RequestClose();
    });
    if (!session.Open(std::make_unique<CSceneWnd>(host), options.width, options.height, true)) {
        std::cerr << "kinetora: no off-screen OpenGL context: " << host.FailureDetail() << "\n";
        return 1;
    }
    const std::string header = encoder.Header();
    failed = !output.Write(header.data(), header.size(), error);
    if (!failed)
        PaintFrames(session.Wnd(), host, options.frames);

    const std::string progress =
        " after " + std::to_string(written) + " of " + std::to_string(options.frames) + " frames";
    if (SignalPipe::Terminated()) {
        std::cerr << "kinetora: recording stopped by " << SignalPipe::TerminatingSignalName()
                  << progress << (output.IsStream() ? "" : "; " + options.path + " not written")
                  << "\n";
        return 128 + SignalPipe::TerminatingSignal();
    }
    if (failed) {
        std::cerr << "kinetora: cannot write " << output.Name() << progress << ": " << error
                  << "\n";
        return 1;
    }
    if (written < options.frames) {
        std::cerr << "kinetora: recording ended" << progress << ": no more frames were drawn\n";
        return 1;
    }
    if (!output.Finish(error)) {
        std::cerr << "kinetora: cannot write " << output.Name() << ": " << error << "\n";
        return 1;
    }
    return 0;
}
