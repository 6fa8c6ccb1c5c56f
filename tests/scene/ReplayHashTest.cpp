// A recorded replay: from fixed seeds the scene window composes and plays whole scenes
// through its own paint loop, and everything the draws decide (scene kind, camera, material,
// shape, mover, rotater and colour changer kinds, every shape's position and colour after
// the last frame, the clear colour, the generators' next values) goes into one hash.
//
// Re-record (the failure prints the new value) only when a change alters the draw sequence
// on purpose, e.g. a new kind with a non-zero weight, and say why in the commit. Any other
// mismatch is a replay fault: a draw added, lost or moved.
#include "app/SaverApp.h"
#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"
#include "host/offscreen/OffscreenHost.h"
#include "images/TestImages.h"
#include "motion/ColorChanger.h"
#include "motion/Mover.h"
#include "motion/Rotater.h"
#include "scene/GLContext.h"
#include "scene/Saver.h"
#include "scene/SceneWnd.h"
#include "shapes/Shape.h"
#include "support/FakeClock.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

// FNV-1a, 64 bits.
class Hash {
public:
    void Add(std::string_view bytes) {
        for (const char c : bytes) {
            m_Value ^= static_cast<unsigned char>(c);
            m_Value *= 1099511628211ull;
        }
    }
    void Add(std::int64_t n) { Add(std::string_view(reinterpret_cast<const char*>(&n), sizeof n)); }
    void Add(float f) { Add(static_cast<std::int64_t>(std::bit_cast<std::uint32_t>(f))); }
    // A factory's kind number: portable, where a compiler's type names are not.
    void AddKind(int kind) { Add(std::int64_t{kind}); }
    std::uint64_t Value() const { return m_Value; }

private:
    std::uint64_t m_Value = 14695981039346656037ull;
};

void AddScene(Hash& hash, const Saver& scene, CSceneWnd& wnd) {
    const GroupScale scale = scene.ThisFrame().scale;
    hash.Add(static_cast<std::int64_t>(scene.Kind()));
    hash.Add(std::int64_t{scene.Polygons()});
    hash.Add(std::int64_t{scene.frameNumber()});
    for (const float f :
         {scene.CamFreqX(), scene.CamFreqY(), scene.CamFreqZ(), scene.CamAmpX(), scene.CamAmpY(),
          scene.CamAmpZ(), scene.Shininess(), scale.x, scale.y, scale.z})
        hash.Add(f);
    hash.Add(static_cast<std::int64_t>(scene.Shapes().size()));
    // The mesh shapes' clones are of a class of their own, outside the table (-1); the
    // prototype never is.
    if (!scene.Shapes().empty()) {
        EXPECT_GE(Shape::KindOf(*scene.Shapes().front()), 0);
    }
    for (const auto& shape : scene.Shapes()) {
        const Shape& s = *shape;
        hash.AddKind(Shape::KindOf(s));
        if (const Mover* mover = s.GetMover())
            hash.AddKind(Mover::KindOf(*mover));
        if (const Rotater* rotater = s.GetRotater())
            hash.AddKind(Rotater::KindOf(*rotater));
        if (const ColorChanger* changer = s.GetColorChanger())
            hash.AddKind(ColorChanger::KindOf(*changer));
        for (const float f : {s.X(), s.Y(), s.Z(), s.StartX(), s.StartY(), s.StartZ(), s.Alpha()})
            hash.Add(f);
        hash.Add(std::int64_t{s.ColorOffset()});
    }
    const Color& clear = wnd.ClearColor();
    for (const float f : {clear.r, clear.g, clear.b})
        hash.Add(f);
    hash.Add(std::int64_t{wnd.Colours().bandCount()});
}

struct ReplayRun {
    long seed;
    int polygons;
    int imageProb;
    bool photos; // a folder with one picture
};

constexpr int kScenesPerRun = 3;

// Plain runs at two budgets, and runs with photographs (photograph scenes, and shapes
// scenes that may hold a photograph cube).
constexpr ReplayRun kRuns[] = {
    {1, 1000, 50, false},
    {7, 400, 50, false},
    {3, 1000, 100, true},
    {4, 800, 50, true},
};

constexpr std::uint64_t kRecorded = 0x896f23261294be4dull;

// A folder with one picture for the runs with photographs.
void PutPicture(testimages::TempDir& folder) {
    folder.Put("a.bmp", testimages::Bmp24(16, 12, [](int x, int y) {
                   return testimages::Rgb{static_cast<std::uint8_t>(x * 15),
                                          static_cast<std::uint8_t>(y * 20), 90};
               }));
}

void Configure(MemoryProfileStore& store, const ReplayRun& run, const testimages::TempDir& folder) {
    store.SetRaw("Polygons", std::to_string(run.polygons));
    store.SetRaw("Speed", "99");
    store.SetRaw("ImageProb", std::to_string(run.imageProb));
    if (run.photos)
        store.WriteFolders(folder.Path().string() + "*");
}

// Plays `scenes` whole scenes of 31 frames each (speed 99) and hashes them.
std::uint64_t PlayRun(const ReplayRun& run, int scenes) {
    FakeClock clock; // frozen: no burst measures, no scene is too slow
    testimages::TempDir folder;
    if (run.photos)
        PutPicture(folder);
    TestApp::Options options;
    options.width = 32;
    options.height = 24;
    options.seed = run.seed;
    options.frameLimit = 0;
    options.configure = [&](MemoryProfileStore& store) { Configure(store, run, folder); };
    TestApp app(options);
    if (!app.HasGL())
        return 0;
    Hash hash;
    for (int i = 0; i < scenes; ++i) {
        app.Wnd().OnPaint();
        Saver* scene = app.Wnd().Scene();
        if (scene == nullptr)
            break;
        AddScene(hash, *scene, app.Wnd());
        hash.Add(std::int64_t{scene->Rand().next()});
    }
    hash.Add(std::int64_t{gApp.m_Rand.next()});
    return hash.Value();
}

// One run in a scene window of its own, as a host with several windows holds it: its own
// off-screen context, generator, settings and folder. Each paint draws one frame.
class ReplayWindow {
public:
    explicit ReplayWindow(const ReplayRun& run) : m_Host(32, 24), m_Wnd(m_Host) {
        if (run.photos)
            PutPicture(m_Folder);
        m_Store.SetRaw("FramesPerSecond", "25");
        Configure(m_Store, run, m_Folder);
        m_pSettings = std::make_unique<RegSettings>(m_Store);
        SceneRun sceneRun{nullptr, m_pSettings.get(), false};
        sceneRun.ownSeed = static_cast<int>(run.seed);
        m_Wnd.AttachRun(sceneRun);
        m_Wnd.OnCreate();
        m_Wnd.OnSize(32, 24);
    }

    bool HasGL() const { return m_Wnd.GL() != nullptr && m_Wnd.GL()->IsOk(); }
    bool Finished() const { return m_Scenes == kScenesPerRun; }
    std::uint64_t Value() const { return m_Hash.Value(); }

    // One frame; a scene that ends with it goes into the hash, as PlayRun hashes it.
    void PaintFrame() {
        m_Host.SetFrameLimit(m_Host.FramesSwapped() + 1);
        m_Wnd.OnPaint();
        Saver* scene = m_Wnd.Scene();
        if (scene == nullptr || !scene->IsDone())
            return;
        AddScene(m_Hash, *scene, m_Wnd);
        m_Hash.Add(std::int64_t{scene->Rand().next()});
        if (++m_Scenes == kScenesPerRun)
            m_Hash.Add(std::int64_t{m_Wnd.RunRand().next()});
    }

private:
    testimages::TempDir m_Folder;
    MemoryProfileStore m_Store;
    std::unique_ptr<RegSettings> m_pSettings;
    OffscreenHost m_Host;
    CSceneWnd m_Wnd;
    Hash m_Hash;
    int m_Scenes = 0;
};

std::string HashText(std::uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(value));
    return text;
}

TEST(ReplayHash, RecordedScenesReplay) {
    Hash hash;
    for (const ReplayRun& run : kRuns) {
        const std::uint64_t value = PlayRun(run, kScenesPerRun);
        if (value == 0) {
            // A CI machine without GL would otherwise pass the one check of the draw order.
            if (std::getenv("CI"))
                FAIL() << "no off-screen GL, and CI is set";
            GTEST_SKIP() << "no off-screen GL";
        }
        hash.Add(static_cast<std::int64_t>(value));
    }
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(hash.Value()));
    EXPECT_EQ(hash.Value(), kRecorded) << "the scenes replay differently; new value: " << text;
}

// The recorded runs side by side in one process, each window on a context of its own, their
// frames interleaved: each replays exactly what it replays alone.
TEST(ReplayHash, WindowsSideBySideReplayAsAlone) {
    FakeClock clock;
    std::vector<std::unique_ptr<ReplayWindow>> windows;
    for (const ReplayRun& run : kRuns) {
        windows.push_back(std::make_unique<ReplayWindow>(run));
        if (!windows.back()->HasGL()) {
            if (std::getenv("CI"))
                FAIL() << "no off-screen GL, and CI is set";
            GTEST_SKIP() << "no off-screen GL";
        }
    }
    for (bool playing = true; playing;) {
        playing = false;
        for (const auto& window : windows) {
            if (window->Finished())
                continue;
            window->PaintFrame();
            playing = true;
        }
    }
    Hash hash;
    for (const auto& window : windows)
        hash.Add(static_cast<std::int64_t>(window->Value()));
    EXPECT_EQ(hash.Value(), kRecorded) << "new value: " << HashText(hash.Value());
}

} // namespace
