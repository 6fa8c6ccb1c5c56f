#include "core/RegSettings.h"

#include "core/ProfileStore.h"
#include "core/StopRequest.h"
#include "core/Trace.h"
#include "core/tvLibrary.h"
#include "core/tvTimer.h"

#include <algorithm>

namespace {

int ReadLimited(const ProfileStore& store, const char* name, int def, int low, int high) {
    return std::clamp(store.ReadInt(name, def), low, high);
}

} // namespace

RegSettings::RegSettings(ProfileStore& store) : m_Store(store) {
    Load();
}

void RegSettings::Load() {
    m_BasePolygons = 2500;

    m_InstallFolder = m_Store.ReadString("InstallFolder", "");
    if (m_InstallFolder.empty()) {
        m_InstallFolder = KINETORA_DATA_DIR;
        if (m_InstallFolder.empty() || m_InstallFolder.back() != '/')
            m_InstallFolder += '/';
    }

    m_Polygons = ReadLimited(m_Store, "Polygons", DefaultPolygons(), 1, MaxPolygons);
    // A negative rate is as good as none: it runs the speed test.
    m_FramesPerSecond = ReadLimited(m_Store, "FramesPerSecond", 0, 0, MaxFramesPerSecond);
    if (m_FramesPerSecond == 0) {
        // Timed once the first frame is up (NeedsSpeedTest); until then, and when no test
        // ends, the run has no record of its own.
        m_bSpeedTestPending = true;
        m_bNoRecord = true;
        m_FramesPerSecond = MaxFramesPerSecond;
        m_Polygons = DefaultPolygons();
    }
    if (m_Polygons > TrustedStartPolygons) {
        m_UnconfirmedPolygons = m_Polygons;
        m_Polygons = TrustedStartPolygons;
    }
    m_SlowestFramesPerSecond = m_FramesPerSecond;

    m_Speed = ReadLimited(m_Store, "Speed", DefaultSpeed(), 0, MaxSpeed);
    m_ImageProb = ReadLimited(m_Store, "ImageProb", DefaultImageProb(), 0, MaxImageProb);
    m_ImageNext = std::max(m_Store.ReadInt("ImageNext", 0), 0);
    m_ImageOrder = ReadLimited(m_Store, "ImageOrder", 0, 0, 1);

    m_Folders.clear();
    const std::string folders = m_Store.ReadFolders();
    if (!folders.empty())
        tvLibrary::Split(folders, FolderSeparator, m_Folders);

    m_BlankScreen = m_Store.ReadInt("BlankScreen", DefaultBlankScreen() ? 1 : 0) != 0;
    m_BlankMinutes =
        ReadLimited(m_Store, "BlankMinutes", DefaultBlankMinutes(), 0, MaxBlankMinutes);
}

RegSettings::~RegSettings() {
    AwaitSpeedTest();
    if (!m_bSaverMode || PolygonsFixed() || m_bNoRecord)
        return;
    // A stored budget this run never got to test stays as it was.
    const int polygons = std::max(m_Polygons, m_UnconfirmedPolygons);
    if (m_bTracing) {
        TraceLine("RegSettings", 160, "m_FramesPerSecond", m_FramesPerSecond);
        TraceLine("RegSettings", 161, "m_SlowestFramesPerSecond", m_SlowestFramesPerSecond);
        TraceLine("RegSettings", 162, "m_Polygons", polygons);
    }
    try {
        m_Store.WriteGroup({{"FramesPerSecond", m_FramesPerSecond}, {"Polygons", polygons}});
    } catch (...) {
        // A record that cannot be stored is lost; the next run measures again.
    }
}

void RegSettings::ApplyRunOverrides(const RunOverrides& overrides) {
    m_Overrides = overrides;
    m_RunImageNext = 0;
    if (overrides.polygons) {
        m_Polygons = std::clamp(*overrides.polygons, 1, MaxPolygons);
        m_UnconfirmedPolygons = 0;
    }
}

void RegSettings::SetFramesPerSecond(int fps) {
    AwaitSpeedTest();
    if (!PolygonsFixed()) {
        m_FramesPerSecond = fps;
        m_bNoRecord = false;
        m_bMeasured = true;
    }
}

void RegSettings::ExpectSpeedTest(std::function<std::optional<int>()> result) {
    m_bSpeedTestPending = false;
    m_SpeedTestResult = std::move(result);
}

void RegSettings::TakeSpeedTest(int ms) {
    m_bSpeedTestPending = false;
    ApplySpeedTest(ms);
}

void RegSettings::ApplySpeedTest(int ms) const {
    m_SpeedTestResult = nullptr;
    if (m_bMeasured)
        return; // frames were measured meanwhile
    if (ms < 0)
        return; // a stop came first: no record, the next run times the machine
    m_bNoRecord = false;
    m_FramesPerSecond = SpeedTestFramesPerSecond(ms);
    m_SlowestFramesPerSecond = m_FramesPerSecond;
    if (!PolygonsFixed())
        m_Polygons = 2500 * m_FramesPerSecond / 25;
}

void RegSettings::SetSlowestFramesPerSecond(int fps) {
    AwaitSpeedTest();
    if (!PolygonsFixed())
        m_SlowestFramesPerSecond = fps;
}

void RegSettings::SetPolygons(int polygons) {
    AwaitSpeedTest();
    if (!PolygonsFixed())
        m_Polygons = polygons;
}

void RegSettings::SetMeasuredPolygons(int polygons, int fps, double headroom) {
    AwaitSpeedTest();
    if (PolygonsFixed())
        return;
    if (m_UnconfirmedPolygons > 0) {
        if (fps < MaxFramesPerSecond) {
            m_UnconfirmedPolygons = 0;
        } else {
            const double climbed = m_Polygons * std::clamp(headroom, 1.0, MaxClimb);
            polygons = std::max(polygons,
                                static_cast<int>(std::min<double>(climbed, m_UnconfirmedPolygons)));
            if (polygons >= m_UnconfirmedPolygons)
                m_UnconfirmedPolygons = 0;
        }
    }
    m_Polygons = polygons;
}

int RegSettings::SpeedTestFramesPerSecond(std::int64_t ms) {
    // 220 ms or less scores 25; every further 32 ms costs one frame per second.
    const double fps = static_cast<double>(ms) * -0.03125 + 31.875;
    if (fps >= MaxFramesPerSecond)
        return MaxFramesPerSecond;
    if (fps < 1.0)
        return 1;
    return static_cast<int>(fps);
}

int RegSettings::RunSpeedTest(const std::atomic<bool>* abandon) {
    tvTimer timer;
    volatile double sum = 0.0; // volatile: the loop must really run
    // The same additions in ten pieces, with a look at the stop between two.
    for (double limit = 1000000.0; limit <= 10000000.0; limit += 1000000.0) {
        if (StopRequest::Raised() || (abandon != nullptr && *abandon))
            return -1;
        while (sum < limit)
            sum = sum + 1.0;
    }
    return timer.Elapsed();
}

double RegSettings::PerformanceOf(int fps) const {
    AwaitSpeedTest();
    // 64-bit product: a large budget times the rate must not wrap.
    const std::int64_t product = static_cast<std::int64_t>(fps) * m_Polygons;
    const std::int64_t units = m_BasePolygons > 0 ? product / m_BasePolygons : 0;
    return static_cast<double>(units) / 25.0;
}

double RegSettings::Performance() const {
    return PerformanceOf(FramesPerSecond());
}

double RegSettings::Performance1() const {
    return std::min(Performance(), 1.0);
}

double RegSettings::PerformanceSlowest1() const {
    return std::min(PerformanceOf(SlowestFramesPerSecond()), 1.0);
}

std::string RegSettings::SaveGeneral() {
    m_Store.TakeWriteProblem(); // not ours
    m_Store.WriteGroup({{"Speed", m_Speed},
                        {"BlankScreen", m_BlankScreen ? 1 : 0},
                        {"BlankMinutes", m_BlankMinutes}});
    return m_Store.TakeWriteProblem();
}

std::string RegSettings::SaveImages() {
    m_Store.TakeWriteProblem();
    m_Store.WriteGroup({{"ImageProb", m_ImageProb}, {"ImageOrder", m_ImageOrder}});
    m_Store.WriteFolders(JoinFolders(m_Folders));
    return m_Store.TakeWriteProblem();
}

std::string RegSettings::SaveImageNext() {
    if (ImagesOverridden())
        return std::string();
    m_Store.TakeWriteProblem();
    m_Store.WriteGroup({{"ImageNext", m_ImageNext}});
    return m_Store.TakeWriteProblem();
}

std::string RegSettings::JoinFolders(const std::vector<std::string>& folders) {
    std::string text;
    for (const std::string& folder : folders)
        text += folder + FolderSeparator;
    return text;
}
