#include "core/RegSettings.h"

#include "core/ProfileStore.h"
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
        m_FramesPerSecond = SpeedTestFramesPerSecond(RunSpeedTest());
        m_Polygons = 2500 * m_FramesPerSecond / 25;
    }
    m_SlowestFramesPerSecond = m_FramesPerSecond;

    m_Speed = ReadLimited(m_Store, "Speed", DefaultSpeed(), 0, MaxSpeed);
    m_ImageProb = ReadLimited(m_Store, "ImageProb", DefaultImageProb(), 0, MaxImageProb);
    m_ImageNext = std::max(m_Store.ReadInt("ImageNext", 0), 0);
    m_ImageOrder = ReadLimited(m_Store, "ImageOrder", 0, 0, 1);

    m_Folders.clear();
    const std::string folders = m_Store.ReadFolders();
    if (!folders.empty())
        tvLibrary::Split(folders, '*', m_Folders);

    m_BlankScreen = m_Store.ReadInt("BlankScreen", DefaultBlankScreen() ? 1 : 0) != 0;
    m_BlankMinutes =
        ReadLimited(m_Store, "BlankMinutes", DefaultBlankMinutes(), 0, MaxBlankMinutes);
}

RegSettings::~RegSettings() {
    if (!m_bSaverMode || PolygonsFixed())
        return;
    if (m_bTracing) {
        TraceLine("RegSettings", 160, "m_FramesPerSecond", m_FramesPerSecond);
        TraceLine("RegSettings", 161, "m_SlowestFramesPerSecond", m_SlowestFramesPerSecond);
        TraceLine("RegSettings", 162, "m_Polygons", m_Polygons);
    }
    try {
        m_Store.WriteGroup({{"FramesPerSecond", m_FramesPerSecond}, {"Polygons", m_Polygons}});
    } catch (...) {
        // A record that cannot be stored is lost; the next run measures again.
    }
}

void RegSettings::ApplyRunOverrides(const RunOverrides& overrides) {
    m_Overrides = overrides;
    m_RunImageNext = 0;
    if (overrides.polygons)
        m_Polygons = std::clamp(*overrides.polygons, 1, MaxPolygons);
}

void RegSettings::SetFramesPerSecond(int fps) {
    if (!PolygonsFixed())
        m_FramesPerSecond = fps;
}

void RegSettings::SetSlowestFramesPerSecond(int fps) {
    if (!PolygonsFixed())
        m_SlowestFramesPerSecond = fps;
}

void RegSettings::SetPolygons(int polygons) {
    if (!PolygonsFixed())
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

int RegSettings::RunSpeedTest() {
    tvTimer timer;
    volatile double sum = 0.0; // volatile: the loop must really run
    while (sum < 10000000.0)
        sum = sum + 1.0;
    return timer.Elapsed();
}

double RegSettings::PerformanceOf(int fps) const {
    // 64-bit product: a large budget times the rate must not wrap.
    const std::int64_t product = static_cast<std::int64_t>(fps) * m_Polygons;
    const std::int64_t units = m_BasePolygons > 0 ? product / m_BasePolygons : 0;
    return static_cast<double>(units) / 25.0;
}

double RegSettings::Performance() const {
    return PerformanceOf(m_FramesPerSecond);
}

double RegSettings::Performance1() const {
    return std::min(Performance(), 1.0);
}

double RegSettings::PerformanceSlowest1() const {
    return std::min(PerformanceOf(m_SlowestFramesPerSecond), 1.0);
}

void RegSettings::SaveGeneral() {
    m_Store.WriteGroup({{"Speed", m_Speed},
                        {"BlankScreen", m_BlankScreen ? 1 : 0},
                        {"BlankMinutes", m_BlankMinutes}});
}

void RegSettings::SaveImages() {
    m_Store.WriteGroup({{"ImageProb", m_ImageProb}, {"ImageOrder", m_ImageOrder}});
    m_Store.WriteFolders(JoinFolders(m_Folders));
}

void RegSettings::SaveImageNext() {
    if (ImagesOverridden())
        return;
    m_Store.WriteGroup({{"ImageNext", m_ImageNext}});
}

std::string RegSettings::JoinFolders(const std::vector<std::string>& folders) {
    std::string text;
    for (const std::string& folder : folders)
        text += folder + '*';
    return text;
}

