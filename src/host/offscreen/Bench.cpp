#include "host/offscreen/Bench.h"

#include "app/SaverApp.h"
#include "core/ProfileStore.h"
#include "core/RegSettings.h"
#include "host/offscreen/OffscreenHost.h"
#include "host/posix/SignalPipe.h"
#include "motion/Mover.h"
#include "scene/GLContext.h"
#include "scene/SaverShapes.h"
#include "scene/SceneWnd.h"
#include "shapes/Shape.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <typeinfo>

namespace {

constexpr int kMaxSize = 16384;
constexpr double kMaxSeconds = 24.0 * 3600.0;

// The off-screen host, with "input" arriving once a scene has drawn its share of frames or
// the benchmark's time is up, so the burst that is running ends within a frame.
class BenchHost : public OffscreenHost {
public:
    BenchHost(int width, int height, int sceneFrames)
        : OffscreenHost(width, height), m_SceneFrames(sceneFrames) {}

    void Start(double seconds) {
        m_DeadlineMs = Saver::WallClockMs() + static_cast<long long>(seconds * 1000.0);
    }
    void StartScene() { m_SceneStart = FramesSwapped(); }
    bool TimeIsUp() const { return Saver::WallClockMs() >= m_DeadlineMs; }
    bool InputPending() override {
        return TimeIsUp() || FramesSwapped() - m_SceneStart >= m_SceneFrames ||
               OffscreenHost::InputPending();
    }

private:
    int m_SceneFrames;
    int m_SceneStart = 0;
    long long m_DeadlineMs = std::numeric_limits<long long>::max();
};

// The user's settings, read but never written: the benchmark's measurements stay in memory.
class ReadOnlyStore : public ProfileStore {
public:
    explicit ReadOnlyStore(std::unique_ptr<ProfileStore> store) : m_pStore(std::move(store)) {}

    int ReadInt(const std::string& name, int def) const override {
        return m_pStore->ReadInt(name, def);
    }
    std::string ReadString(const std::string& name, const std::string& def) const override {
        return m_pStore->ReadString(name, def);
    }
    void WriteGroup(const std::vector<ProfileValue>&) override {}
    std::string ReadFolders() const override { return m_pStore->ReadFolders(); }
    void WriteFolders(const std::string&) override {}

private:
    std::unique_ptr<ProfileStore> m_pStore;
};

// Tears the application down while the host's context still exists.
struct AppSession {
    AppSession() = default;
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;
    ~AppSession() { gApp.Shutdown(); }
};

struct SceneRecord {
    std::string shape;
    std::string mover;
    std::size_t shapes = 0;
    int polygons = 0;
    long long composeMs = 0;
    int frames = 0;
    long long drawMs = 0;
};

struct Totals {
    int scenes = 0;
    long long frames = 0;
    long long drawMs = 0;
    double polygonFrames = 0;
    long long slowestComposeMs = 0;
    std::string slowestShape;
};

// "ShapeCube" rather than the mangled name.
std::string ClassName(const std::type_info& type) {
    int status = 0;
    char* name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string text = status == 0 && name != nullptr ? name : type.name();
    std::free(name);
    return text;
}

SceneRecord Describe(const Saver& scene) {
    SceneRecord record;
    record.polygons = scene.Polygons();
    record.composeMs = scene.ComposeMs();
    const Saver::ShapeList& shapes = scene.Shapes();
    record.shapes = shapes.size();
    if (!shapes.empty()) {
        const Shape& prototype = *shapes.front();
        record.shape = ClassName(typeid(prototype));
        if (const Mover* mover = prototype.GetMover())
            record.mover = ClassName(typeid(*mover));
    }
    return record;
}

double PerSecond(double count, long long ms) {
    return ms > 0 ? count * 1000.0 / static_cast<double>(ms) : 0.0;
}

void Print(const SceneRecord& record, bool cutShort) {
    std::printf("%-22s %-14s shapes %5zu  polygons %7d  compose %5lld ms  frames %5d  "
                "fps %7.1f%s\n",
                record.shape.c_str(), record.mover.c_str(), record.shapes, record.polygons,
                record.composeMs, record.frames, PerSecond(record.frames, record.drawMs),
                cutShort ? "  (cut short)" : "");
}

void Add(Totals& totals, const SceneRecord& record) {
    ++totals.scenes;
    totals.frames += record.frames;
    totals.drawMs += record.drawMs;
    totals.polygonFrames += static_cast<double>(record.polygons) * record.frames;
    if (record.composeMs >= totals.slowestComposeMs) {
        totals.slowestComposeMs = record.composeMs;
        totals.slowestShape = record.shape;
    }
}

} // namespace

int RunBench(const BenchOptions& options, std::unique_ptr<ProfileStore> store) {
    if (!(options.seconds > 0.0) || options.seconds > kMaxSeconds || options.width < 1 ||
        options.height < 1 || options.width > kMaxSize || options.height > kMaxSize ||
        options.sceneFrames < 1) {
        std::fprintf(stderr,
                     "kinetora: --bench needs a positive time (at most %g s), a size from "
                     "1x1 to %dx%d and at least one frame a scene\n",
                     kMaxSeconds, kMaxSize, kMaxSize);
        return 1;
    }
    const SignalPipe signals;
    BenchHost host(options.width, options.height, options.sceneFrames);
    host.SetReadBack(false);
    AppSession session;
    // A preview run draws without writing the frame-rate record back.
    gApp.Init(ModePreview, options.seed, std::make_unique<ReadOnlyStore>(std::move(store)));
    auto owned = std::make_unique<CSceneWnd>(host);
    CSceneWnd& wnd = *owned;
    gApp.InstallSceneWnd(std::move(owned));
    if (wnd.OnCreate() != 0 || wnd.GL() == nullptr || !wnd.GL()->IsOk()) {
        std::fprintf(stderr, "kinetora: no off-screen OpenGL context: %s\n",
                     host.FailureDetail().c_str());
        return 1;
    }
    wnd.OnSize(options.width, options.height);
    host.Start(options.seconds);

    std::printf("polygon budget %d, %d frames a scene at most, %dx%d\n",
                gApp.pSettings()->Polygons(), options.sceneFrames, options.width, options.height);
    std::fflush(stdout);
    Totals totals;
    while (!host.TimeIsUp() && !host.CloseRequested() && !wnd.IsBlanked() &&
           !SignalPipe::Terminated()) {
        host.StartScene();
        wnd.OnPaint();
        if (!gSaver)
            break;
        SceneRecord record = Describe(*gSaver);
        record.frames = gSaver->frameNumber();
        record.drawMs = Saver::WallClockMs() - gSaver->StartClockMs();
        const bool cutShort = !gSaver->IsDone() && (host.TimeIsUp() || SignalPipe::Terminated());
        Print(record, cutShort);
        // One line at a time, also into a pipe: a long run shows its progress.
        std::fflush(stdout);
        Add(totals, record);
        // A scene that has had its frames makes way, as a finished one would.
        if (!gSaver->IsDone())
            gSaver.reset();
    }
    std::printf("scenes %d  fps %.1f  polygons per second %.0f  slowest composition %lld ms "
                "(%s)\n",
                totals.scenes, PerSecond(static_cast<double>(totals.frames), totals.drawMs),
                PerSecond(totals.polygonFrames, totals.drawMs), totals.slowestComposeMs,
                totals.slowestShape.c_str());
    if (SignalPipe::Terminated()) {
        std::fflush(stdout);
        std::fprintf(stderr, "kinetora: bench stopped by %s; the summary covers %d scenes\n",
                     SignalPipe::TerminatingSignalName(), totals.scenes);
        return 128 + SignalPipe::TerminatingSignal();
    }
    return 0;
}
