#include "config/SettingsPage.h"

#include "core/ProfileStore.h"
#include "core/RegSettings.h"

#include <algorithm>
#include <optional>

namespace {

int& ProcessClicks() {
    static int clicks = 0; // never reset: once revealed, every later click shows the count
    return clicks;
}

std::optional<int> ParseMinutes(const std::string& text) {
    int minutes = 0;
    if (!ProfileStore::ParseInt(text, minutes) || minutes < CSettingsPage::MinutesMin ||
        minutes > CSettingsPage::MinutesMax)
        return std::nullopt;
    return minutes;
}

} // namespace

CSettingsPage::CSettingsPage(RegSettings& settings, const ProfileStore& store, int* clicks)
    : m_Settings(settings), m_Store(store), m_Clicks(clicks ? *clicks : ProcessClicks()),
      m_Speed(settings.Speed()), m_bBlank(settings.BlankScreen()),
      m_MinutesText(std::to_string(settings.BlankMinutes())) {
    // The store, not the settings: a first run's speed-test estimate is no measured rate.
    const int fps = m_Store.ReadInt("FramesPerSecond", 0);
    if (fps > 0)
        m_FrameRateText = "Last Frames Per Second: " + std::to_string(fps);
}

void CSettingsPage::SetSpeed(int speed) {
    m_Speed = std::clamp(speed, SpeedMin, SpeedMax);
}

void CSettingsPage::OnFrameRateClicked() {
    if (++m_Clicks < RevealClicks)
        return;
    const int polygons = m_Store.ReadInt("Polygons", 0);
    if (polygons > 0)
        m_PolygonsText = "Last Polygon Count: " + std::to_string(polygons);
}

std::string CSettingsPage::Validate() const {
    if (ParseMinutes(m_MinutesText))
        return std::string();
    return "Please enter an integer between " + std::to_string(MinutesMin) + " and " +
           std::to_string(MinutesMax) + ".";
}

std::string CSettingsPage::OnOK() {
    const std::optional<int> minutes = ParseMinutes(m_MinutesText);
    if (!minutes)
        return std::string();
    const int speed = m_Settings.Speed();
    const bool blank = m_Settings.BlankScreen();
    const int blankMinutes = m_Settings.BlankMinutes();
    if (m_Speed == speed && m_bBlank == blank && *minutes == blankMinutes)
        return std::string();
    m_Settings.SetSpeed(m_Speed);
    m_Settings.SetBlankScreen(m_bBlank);
    m_Settings.SetBlankMinutes(*minutes);
    std::string problem = m_Settings.SaveGeneral();
    if (!problem.empty()) { // as loaded again, so that the next OK tries once more
        m_Settings.SetSpeed(speed);
        m_Settings.SetBlankScreen(blank);
        m_Settings.SetBlankMinutes(blankMinutes);
    }
    return problem;
}
