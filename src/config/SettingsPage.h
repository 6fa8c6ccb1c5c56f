#pragma once

#include <string>

class ProfileStore;
class RegSettings;

// The General page's behaviour, without widgets: speed, screen blanking with its minutes,
// and the frame-rate and polygon-count lines of the last full-screen run. A host shows
// these values, passes the user's edits in and calls OnOK or OnCancel.
class CSettingsPage {
public:
    static constexpr const char* Caption = "General";
    static constexpr const char* SpeedLabel = "&Speed:";
    static constexpr const char* BlankLabel = "&Blank screen after specified period";
    static constexpr const char* MinutesLabel = "minutes";
    static constexpr const char* HelpLabel = "&Help";
    static constexpr const char* SpeedTip = "Faster speeds may make the animation less smooth";
    static constexpr const char* BlankTip = "Use this if you are also using automatic power off";
    static constexpr const char* MinutesTip = "Set to 5 minutes less than your power down time";
    static constexpr const char* FrameRateTip =
        "The frame rate the last time Kinetora ran. The goal is 25 FPS.";
    static constexpr const char* PolygonsTip =
        "The number of polygons (sides) drawn in the last scene. The faster the machine, the "
        "more polygons can be drawn.";

    // Speed track bar: 0..100, a tick every 10. Minutes: 0..999 typed, 1..999 by the arrows.
    static constexpr int SpeedMin = 0;
    static constexpr int SpeedMax = 100;
    static constexpr int TickEvery = 10;
    static constexpr int MinutesMin = 0;
    static constexpr int MinutesMax = 999;
    static constexpr int MinutesArrowMin = 1;
    // Clicks on the frame-rate line before the polygon count shows.
    static constexpr int RevealClicks = 3;

    // settings: the values edited (changed in memory by OnOK only); store: where the frame
    // rate and polygon count of the last full-screen run are read directly. clicks: the
    // counter of frame-rate clicks, by default the one shared by the whole process.
    CSettingsPage(RegSettings& settings, const ProfileStore& store, int* clicks = nullptr);

    int Speed() const { return m_Speed; }
    void SetSpeed(int speed); // held to 0..100
    bool Blank() const { return m_bBlank; }
    // The check box was clicked: the minutes box, its arrows and label follow it.
    void SetBlank(bool blank) { m_bBlank = blank; }
    bool MinutesEnabled() const { return m_bBlank; }
    const std::string& MinutesText() const { return m_MinutesText; }
    void SetMinutesText(std::string text) { m_MinutesText = std::move(text); }

    // "Last Frames Per Second: N", shown only when a positive rate is stored.
    bool FrameRateShown() const { return !m_FrameRateText.empty(); }
    const std::string& FrameRateText() const { return m_FrameRateText; }
    // "Last Polygon Count: N", shown from the third click on the frame-rate line on.
    bool PolygonsShown() const { return !m_PolygonsText.empty(); }
    const std::string& PolygonsText() const { return m_PolygonsText; }
    void OnFrameRateClicked();

    // Empty when the page may be confirmed, else the message to show (the page stays open).
    std::string Validate() const;
    // Call after Validate passed: stores the values in the settings and writes the General
    // group, but only when a value differs from what was loaded. Returns why the group was
    // not written ("" when it was or nothing changed); the settings then stay as they were.
    std::string OnOK();

private:
    RegSettings& m_Settings;
    const ProfileStore& m_Store;
    int& m_Clicks;
    int m_Speed;
    bool m_bBlank;
    std::string m_MinutesText;
    std::string m_FrameRateText;
    std::string m_PolygonsText;
};
