#include "host/offscreen/OffscreenHost.h"

#include "app/SaverApp.h"
#include "core/MemoryProfileStore.h"
#include "core/ProfileStore.h"
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

constexpr int kMaxSize = 16384;
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
    if (options.width < 1 || options.height < 1 || options.width > kMaxSize ||
        options.height > kMaxSize) {
        std::cerr << "kinetora: the picture size must be from 1x1 to " << kMaxSize << "x"
                  << kMaxSize << "\n";
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

// The user's settings as a render sees them: read only, so a render never changes what the
// saver finds (neither the frame-rate record nor the alphabetical image position), and
// with a fixed record when none was measured yet, so a seed replays the same picture
// instead of depending on how fast a first-run speed test happened to be.
class RenderStore : public ProfileStore {
public:
    explicit RenderStore(std::unique_ptr<ProfileStore> inner) : m_pInner(std::move(inner)) {
        m_bHasRecord = m_pInner->ReadInt("FramesPerSecond", 0) > 0;
    }
    int ReadInt(const std::string& name, int def) const override {
        if (!m_bHasRecord && name == "FramesPerSecond")
            return kRecordFramesPerSecond;
        if (!m_bHasRecord && name == "Polygons")
            return kRecordPolygons;
        return m_pInner->ReadInt(name, def);
    }
    std::string ReadString(const std::string& name, const std::string& def) const override {
        return m_pInner->ReadString(name, def);
    }
    void WriteGroup(const std::vector<ProfileValue>&) override {}
    std::string ReadFolders() const override { return m_pInner->ReadFolders(); }
    void WriteFolders(const std::string&) override {}

private:
    static constexpr int kRecordFramesPerSecond = 25;
    static constexpr int kRecordPolygons = 2500;
    std::unique_ptr<ProfileStore> m_pInner;
    bool m_bHasRecord = false;
};

// Tears the application down while the host's context still exists.
struct AppSession {
    ~AppSession() { gApp.Shutdown(); }
};

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
    AppSession session;
    // Not a full-screen run, so the settings never write the frame-rate record back.
    if (!store)
        store = std::make_unique<MemoryProfileStore>();
    gApp.Init(ModePreview, options.seed, std::make_unique<RenderStore>(std::move(store)));
    auto owned = std::make_unique<CSceneWnd>(host);
    CSceneWnd& wnd = *owned;
    gApp.InstallSceneWnd(std::move(owned));

    if (wnd.OnCreate() != 0 || wnd.GL() == nullptr || !wnd.GL()->IsOk()) {
        std::cerr << "kinetora: no off-screen OpenGL context: " << host.FailureDetail() << "\n";
        discard();
        return 1;
    }
    wnd.OnSize(options.width, options.height);
    PaintFrames(wnd, host, options.frames);

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
