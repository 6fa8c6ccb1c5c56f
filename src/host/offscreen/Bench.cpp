#include "host/offscreen/Bench.h"

#include "app/RunSession.h"
#include "app/SaverApp.h"
#include "core/ProfileStore.h"
#include "core/ReadOnlyStore.h"
#include "core/RegSettings.h"
#include "gl/GLCensus.h"
#include "host/offscreen/FrameGaps.h"
#include "host/offscreen/OffscreenHost.h"
#include "host/posix/ProcessMemory.h"
#include "host/posix/SignalPipe.h"
#include "motion/Mover.h"
#include "scene/Background.h"
#include "scene/GLContext.h"
#include "scene/SaverShapes.h"
#include "scene/SceneWnd.h"
#include "shapes/Primitives.h"
#include "shapes/Shape.h"
#include "textures/Texture.h"
#include "textures/TextureImage.h"

#include <cxxabi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

constexpr double kMaxSeconds = 24.0 * 3600.0;

// Microseconds on the steady clock that Saver::WallClockMs reads in milliseconds.
long long NowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// Processor microseconds of the whole process, every thread (the rasteriser's too).
long long CpuUs() {
    return static_cast<long long>(std::clock()) * 1000000 / CLOCKS_PER_SEC;
}

double Ms(long long us) {
    return static_cast<double>(us) / 1000.0;
}

// The off-screen host, with "input" arriving once a scene has drawn its share of frames or
// the benchmark's time is up, so the burst that is running ends within a frame.
class BenchHost : public OffscreenHost {
public:
    BenchHost(int width, int height, int sceneFrames)
        : OffscreenHost(width, height), m_SceneFrames(sceneFrames) {}

    void Start(double seconds) {
        m_DeadlineMs = Saver::WallClockMs() + static_cast<long long>(seconds * 1000.0);
    }
    void StartScene() {
        m_SceneStart = FramesSwapped();
        m_Gaps.StartScene();
        m_CpuGaps.StartScene();
    }
    void SwapBuffers() override {
        OffscreenHost::SwapBuffers();
        m_Gaps.Swap(NowUs());
        m_CpuGaps.Swap(CpuUs());
    }
    const FrameGaps& Gaps() const { return m_Gaps; }
    // The same on the processor clock: a long frame that took no more processor time than
    // its neighbours waited for the machine, not for its own work.
    const FrameGaps& CpuGaps() const { return m_CpuGaps; }
    bool TimeIsUp() const { return Saver::WallClockMs() >= m_DeadlineMs; }
    bool InputPending() override {
        return TimeIsUp() || FramesSwapped() - m_SceneStart >= m_SceneFrames ||
               OffscreenHost::InputPending();
    }

private:
    int m_SceneFrames;
    int m_SceneStart = 0;
    FrameGaps m_Gaps;
    FrameGaps m_CpuGaps;
    long long m_DeadlineMs = std::numeric_limits<long long>::max();
};

struct SceneRecord {
    std::string shape;
    std::string mover;
    std::size_t shapes = 0;
    int polygons = 0;
    long long composeMs = 0;
    long long roomMs = 0;     // building the room's list on the first frame
    long long photoCpuMs = 0; // processor time of the scene-wide part and the room
    int kind = 0;
    int frames = 0;
    long long drawMs = 0;
    long long medianGapUs = 0;
    long long longestGapUs = 0;
    int longestGapFrame = 0;
    long long medianCpuUs = 0;
    long long longestCpuUs = 0;
    int longestCpuFrame = 0;
    long long changeUs = -1; // the scene change before it, -1 when not measured
};

// What a scene change leaves on screen: the previous scene's last frame, from its swap to
// the new scene's first swap, less the bench's own work between scenes (census, printing),
// which the saver does not do.
struct SceneChange {
    int scene = 0;
    std::string shape;
    long long totalUs = 0;
    long long tailUs = 0;     // the previous scene after its last swap (its measurement)
    long long teardownUs = 0; // deleting the previous scene
    long long startUs = 0;    // the window's work before composing (photograph list)
    long long composeMs = 0;
    long long firstDrawUs = 0; // the first frame up to its swap, the room's list included
    long long roomMs = 0;
};

struct Totals {
    int scenes = 0;
    long long frames = 0;
    long long drawMs = 0;
    double polygonFrames = 0;
    long long slowestComposeMs = 0;
    std::string slowestShape;
    std::vector<long long> photoComposeMs; // composition and room of photograph scenes
    std::vector<long long> photoCpuMs;
    int minLists = -1;
    int maxLists = -1;
    int maxTextures = 0;
    int maxPhotos = 0;
    int maxTextureObjects = 0;
    long rssAtScene50Kb = 0;
    long maxRssFromScene50Kb = 0;
    std::string longestGapShape;
    int changes = 0;
    SceneChange slowestChange;
};

// What is left alive once a scene is gone: display lists beyond the primitive solids'
// cache (which lives across scenes by design), textures, photographs, texture objects, and
// the process's resident memory.
struct Census {
    int lists = 0;
    int textures = 0;
    int photos = 0;
    int textureObjects = 0;
    int cachedLists = 0;
    long rssKb = 0;
};

// The GL counts are those of the context gl, which must be current.
Census TakeCensus(const GLContext& gl) {
    const int cached = gl.Solids().CachedListCount();
    return {GLCensus::LiveLists() - cached,
            Texture::LiveCount(),
            TextureImage::LiveCount(),
            GLCensus::LiveTextureObjects(),
            cached,
            ProcessMemory::ResidentKb()};
}

double Megabytes(long kb) {
    return static_cast<double>(kb) / 1024.0;
}

// Scene from which a long run's memory must stay flat (the first scenes fill caches).
constexpr int kSettledScene = 50;

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
    record.kind = scene.SceneKind();
    record.photoCpuMs = scene.BaseComposeCpuMs();
    if (const Background* room = scene.GetBackground()) {
        record.roomMs = room->BuildMs();
        record.photoCpuMs += room->BuildCpuMs();
    }
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

void Print(const SceneRecord& record, const Census& census, bool cutShort) {
    std::printf("%-22s %-14s kind %d  shapes %5zu  polygons %7d  compose %5lld ms  room %4lld "
                "ms  frames %5d  fps %7.1f  live lists %d textures %d photos %d texture "
                "objects %d cached lists %d  rss %.1f MB  gaps median %.1f ms longest %.1f ms "
                "(frame %d)  processor median %.1f ms longest %.1f ms (frame %d)",
                record.shape.c_str(), record.mover.c_str(), record.kind, record.shapes,
                record.polygons, record.composeMs, record.roomMs, record.frames,
                PerSecond(record.frames, record.drawMs), census.lists, census.textures,
                census.photos, census.textureObjects, census.cachedLists, Megabytes(census.rssKb),
                Ms(record.medianGapUs), Ms(record.longestGapUs), record.longestGapFrame,
                Ms(record.medianCpuUs), Ms(record.longestCpuUs), record.longestCpuFrame);
    if (record.changeUs >= 0)
        std::printf("  change %.1f ms", Ms(record.changeUs));
    std::printf("%s\n", cutShort ? "  (cut short)" : "");
}

void Add(Totals& totals, const SceneChange& change) {
    ++totals.changes;
    if (change.totalUs >= totals.slowestChange.totalUs)
        totals.slowestChange = change;
}

void Add(Totals& totals, const Census& census) {
    totals.minLists = totals.minLists < 0 ? census.lists : std::min(totals.minLists, census.lists);
    totals.maxLists = std::max(totals.maxLists, census.lists);
    totals.maxTextures = std::max(totals.maxTextures, census.textures);
    totals.maxPhotos = std::max(totals.maxPhotos, census.photos);
    totals.maxTextureObjects = std::max(totals.maxTextureObjects, census.textureObjects);
    // Called after the scene was counted.
    if (totals.scenes == kSettledScene)
        totals.rssAtScene50Kb = census.rssKb;
    if (totals.scenes >= kSettledScene)
        totals.maxRssFromScene50Kb = std::max(totals.maxRssFromScene50Kb, census.rssKb);
}

// The 95th percentile (nearest rank), 0 for none.
long long Percentile95(std::vector<long long> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t rank = (values.size() * 95 + 99) / 100;
    return values[std::max<std::size_t>(rank, 1) - 1];
}

void Add(Totals& totals, const SceneRecord& record) {
    ++totals.scenes;
    totals.frames += record.frames;
    totals.drawMs += record.drawMs;
    totals.polygonFrames += static_cast<double>(record.polygons) * record.frames;
    if (record.kind == Saver::KindPhoto) {
        totals.photoComposeMs.push_back(record.composeMs + record.roomMs);
        totals.photoCpuMs.push_back(record.photoCpuMs);
    }
    if (record.composeMs >= totals.slowestComposeMs) {
        totals.slowestComposeMs = record.composeMs;
        totals.slowestShape = record.shape;
    }
}

} // namespace

int RunBench(const BenchOptions& options, std::unique_ptr<ProfileStore> store) {
    if (!(options.seconds > 0.0) || options.seconds > kMaxSeconds ||
        !RunSession::SizeAllowed(options.width, options.height) || options.sceneFrames < 1 ||
        options.scenes < 0) {
        std::fprintf(stderr,
                     "kinetora: --bench needs a positive time (at most %g s), a size from "
                     "1x1 to %dx%d, at least one frame a scene and a scene count of 0 or "
                     "more\n",
                     kMaxSeconds, RunSession::MaxSize, RunSession::MaxSize);
        return 1;
    }
    const SignalPipe signals;
    BenchHost host(options.width, options.height, options.sceneFrames);
    host.SetReadBack(false);
    // A preview run on a read-only store: the measurements stay in memory.
    RunSession session(ModePreview, options.seed,
                       std::make_unique<ReadOnlyStore>(std::move(store), false));
    if (!session.Open(std::make_unique<CSceneWnd>(host), options.width, options.height, true)) {
        std::fprintf(stderr, "kinetora: no off-screen OpenGL context: %s\n",
                     host.FailureDetail().c_str());
        return 1;
    }
    CSceneWnd& wnd = session.Wnd();
    host.Start(options.seconds);

    std::printf("polygon budget %d, %d frames a scene at most, %dx%d\n",
                session.Settings().Polygons(), options.sceneFrames, options.width, options.height);
    std::fflush(stdout);
    Totals totals;
    const FrameGaps& gaps = host.Gaps();
    const FrameGaps& cpuGaps = host.CpuGaps();
    // The end of the previous scene: its last swap, and its teardown; -1 when it swapped
    // nothing (then the next change is not measured).
    long long lastSwapUs = -1;
    long long tailUs = 0;
    long long teardownUs = 0;
    long long teardownEndUs = 0;
    while (!host.TimeIsUp() && !host.CloseRequested() && !wnd.IsBlanked() &&
           !SignalPipe::Terminated() && (options.scenes == 0 || totals.scenes < options.scenes)) {
        host.StartScene();
        const long long paintStartUs = NowUs();
        wnd.OnPaint();
        const Saver* scene = wnd.Scene();
        if (scene == nullptr)
            break;
        SceneRecord record = Describe(*scene);
        record.frames = scene->frameNumber();
        record.drawMs = Saver::WallClockMs() - scene->StartClockMs();
        record.medianGapUs = gaps.SceneMedianUs();
        record.longestGapUs = gaps.SceneLongestUs();
        record.longestGapFrame = gaps.SceneLongestSwap();
        record.medianCpuUs = cpuGaps.SceneMedianUs();
        record.longestCpuUs = cpuGaps.SceneLongestUs();
        record.longestCpuFrame = cpuGaps.SceneLongestSwap();
        const long long firstSwapUs = gaps.SceneFirstSwapUs();
        if (lastSwapUs >= 0 && firstSwapUs >= 0) {
            SceneChange change;
            change.scene = gaps.Scene();
            change.shape = record.shape;
            change.tailUs = tailUs;
            change.teardownUs = teardownUs;
            change.composeMs = record.composeMs;
            change.roomMs = record.roomMs;
            const long long composeStartMs = scene->StartClockMs() - record.composeMs;
            change.startUs = composeStartMs * 1000 - paintStartUs;
            change.firstDrawUs = firstSwapUs - scene->StartClockMs() * 1000;
            change.totalUs = teardownEndUs - lastSwapUs + firstSwapUs - paintStartUs;
            record.changeUs = change.totalUs;
            Add(totals, change);
        }
        if (gaps.LongestScene() == gaps.Scene() && gaps.LongestUs() > 0)
            totals.longestGapShape = record.shape;
        const bool cutShort = !scene->IsDone() && (host.TimeIsUp() || SignalPipe::Terminated());
        // Every scene makes way once it has had its frames, so that what it leaves behind
        // can be counted before the next one is composed.
        const long long teardownStartUs = NowUs();
        wnd.FreeScene();
        teardownEndUs = NowUs();
        lastSwapUs = firstSwapUs >= 0 ? gaps.LastSwapUs() : -1;
        tailUs = teardownStartUs - lastSwapUs;
        teardownUs = teardownEndUs - teardownStartUs;
        const Census census = TakeCensus(*wnd.GL());
        Print(record, census, cutShort);
        // One line at a time, also into a pipe: a long run shows its progress.
        std::fflush(stdout);
        Add(totals, record);
        Add(totals, census);
    }
    std::printf("scenes %d  fps %.1f  polygons per second %.0f  slowest composition %lld ms "
                "(%s)\n",
                totals.scenes, PerSecond(static_cast<double>(totals.frames), totals.drawMs),
                PerSecond(totals.polygonFrames, totals.drawMs), totals.slowestComposeMs,
                totals.slowestShape.c_str());
    std::printf("photograph scenes %zu  composition with room p95 %lld ms (processor %lld ms)  "
                "live lists after a scene %d..%d  textures at most %d  photos at most %d  "
                "texture objects at most %d\n",
                totals.photoComposeMs.size(), Percentile95(totals.photoComposeMs),
                Percentile95(totals.photoCpuMs), totals.minLists, totals.maxLists,
                totals.maxTextures, totals.maxPhotos, totals.maxTextureObjects);
    std::printf("rss %.1f MB  at scene %d %.1f MB  most from then on %.1f MB  peak %.1f MB\n",
                Megabytes(ProcessMemory::ResidentKb()), kSettledScene,
                Megabytes(totals.rssAtScene50Kb), Megabytes(totals.maxRssFromScene50Kb),
                Megabytes(ProcessMemory::PeakResidentKb()));
    const long long lateUs = 2LL * SaverShapes::FramePeriodMs * 1000;
    std::printf("seed %d  frame gaps inside scenes %lld  longest %.1f ms (scene %d %s, frame %d)  "
                "p99 %.1f ms  %lld of %.0f ms or more\n",
                wnd.RunRand().seed(), gaps.Gaps(), Ms(gaps.LongestUs()), gaps.LongestScene(),
                totals.longestGapShape.c_str(), gaps.LongestSwap(), Ms(gaps.PercentileUs(99)),
                gaps.GapsFrom(lateUs), Ms(lateUs));
    std::printf("processor time of a frame inside scenes  longest %.1f ms (scene %d, frame %d)  "
                "p99 %.1f ms\n",
                Ms(cpuGaps.LongestUs()), cpuGaps.LongestScene(), cpuGaps.LongestSwap(),
                Ms(cpuGaps.PercentileUs(99)));
    const SceneChange& slowest = totals.slowestChange;
    std::printf("scene changes %d  slowest %.1f ms (scene %d %s): end of the scene before %.1f "
                "ms, its teardown %.1f ms, start %.1f ms, composition %lld ms, first frame %.1f ms "
                "(room %lld ms)\n",
                totals.changes, Ms(slowest.totalUs), slowest.scene, slowest.shape.c_str(),
                Ms(slowest.tailUs), Ms(slowest.teardownUs), Ms(slowest.startUs), slowest.composeMs,
                Ms(slowest.firstDrawUs), slowest.roomMs);
    if (SignalPipe::Terminated()) {
        std::fflush(stdout);
        std::fprintf(stderr, "kinetora: bench stopped by %s; the summary covers %d scenes\n",
                     SignalPipe::TerminatingSignalName(), totals.scenes);
        return 128 + SignalPipe::TerminatingSignal();
    }
    return 0;
}
