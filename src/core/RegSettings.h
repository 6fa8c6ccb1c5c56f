#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class ProfileStore;

// Settings given on the command line for one run. They take the place of the stored values
// in memory and are never written back.
struct RunOverrides {
    std::optional<int> speed;      // 0..100
    std::optional<int> imageProb;  // 0..100
    std::optional<int> imageOrder; // 0 random, 1 alphabetical
    std::optional<std::vector<std::string>> folders;
    std::optional<int> polygons; // a fixed budget (1..MaxPolygons): no adaptation, no record

    bool Any() const { return speed || imageProb || imageOrder || folders || polygons; }
};

// Every user setting and the performance record of the last run, loaded once per process
// from the store; each configuration page writes its group when confirmed, and a full-screen
// run writes the measured frame rate and polygon budget when it ends (destructor).
//
// Values read back are held to the ranges the program itself writes; text where a number
// belongs reads as the default.
class RegSettings {
public:
    explicit RegSettings(ProfileStore& store);
    ~RegSettings();
    RegSettings(const RegSettings&) = delete;
    RegSettings& operator=(const RegSettings&) = delete;

    // Only a full-screen run writes the frame-rate record at destruction.
    void SetRunModeSaver(bool saver) { m_bSaverMode = saver; }
    bool IsRunModeSaver() const { return m_bSaverMode; }
    // Trace lines of the frame-rate record (the caller passes gApp.IsTracing()).
    void SetTracing(bool tracing) { m_bTracing = tracing; }

    // Puts the run's command-line settings in place of the loaded ones. From then on the
    // save groups write the values loaded from the store, never the overrides; a changed
    // folder list or order keeps its place in the photographs to itself (the stored
    // "ImageNext" belongs to the stored list), and a fixed budget freezes the frame-rate
    // record and keeps it out of the store.
    void ApplyRunOverrides(const RunOverrides& overrides);
    const RunOverrides& Overrides() const { return m_Overrides; }
    bool PolygonsFixed() const { return m_Overrides.polygons.has_value(); }

    static constexpr int DefaultSpeed() { return 50; }
    static constexpr int DefaultImageProb() { return 50; }
    static constexpr bool DefaultBlankScreen() { return false; }
    static constexpr int DefaultBlankMinutes() { return 60; }
    static constexpr int DefaultPolygons() { return 2500; }

    // Ranges of the stored values.
    static constexpr int MaxSpeed = 100;
    static constexpr int MaxImageProb = 100;
    static constexpr int MaxBlankMinutes = 999;
    static constexpr int MaxFramesPerSecond = 25;
    static constexpr int MaxPolygons = 10000000;
    // A stored budget above this (performance 10 at 25 frames per second) may come from
    // another machine or graphics card: the run starts from this budget instead, and takes
    // the stored one back as soon as frames measured at the full rate show that it fits.
    static constexpr int TrustedStartPolygons = 25000;

    int Speed() const { return m_Overrides.speed.value_or(m_Speed); }
    bool BlankScreen() const { return m_BlankScreen; }
    int BlankMinutes() const { return m_BlankMinutes; }
    int ImageProb() const { return m_Overrides.imageProb.value_or(m_ImageProb); }
    int ImageNext() const { return ImagesOverridden() ? m_RunImageNext : m_ImageNext; }
    // 0 random, 1 alphabetical
    int ImageOrder() const { return m_Overrides.imageOrder.value_or(m_ImageOrder); }
    const std::vector<std::string>& Folders() const {
        return m_Overrides.folders ? *m_Overrides.folders : m_Folders;
    }
    // Where the help page lives, ending with '/'.
    const std::string& InstallFolder() const { return m_InstallFolder; }
    int BasePolygons() const { return m_BasePolygons; }
    // The record reads take a first-run speed test's result once it is there (see Load).
    int FramesPerSecond() const {
        AwaitSpeedTest();
        return m_FramesPerSecond;
    }
    int SlowestFramesPerSecond() const {
        AwaitSpeedTest();
        return m_SlowestFramesPerSecond;
    }
    int Polygons() const {
        AwaitSpeedTest();
        return m_Polygons;
    }
    // The stored budget this run has neither confirmed nor disproved; 0 when there is none.
    int UnconfirmedPolygons() const { return m_UnconfirmedPolygons; }

    void SetSpeed(int speed) { m_Speed = speed; }
    void SetBlankScreen(bool blank) { m_BlankScreen = blank; }
    void SetBlankMinutes(int minutes) { m_BlankMinutes = minutes; }
    void SetImageProb(int prob) { m_ImageProb = prob; }
    void SetImageNext(int next) { (ImagesOverridden() ? m_RunImageNext : m_ImageNext) = next; }
    void SetImageOrder(int order) { m_ImageOrder = order; }
    void SetFolders(std::vector<std::string> folders) { m_Folders = std::move(folders); }
    // The measured record; frozen while the budget is fixed.
    void SetFramesPerSecond(int fps);
    void SetSlowestFramesPerSecond(int fps);
    void SetPolygons(int polygons);
    // After a burst measured at the full frame rate that could have drawn `headroom` times
    // its polygons in a frame period: the budget may climb straight to the unconfirmed
    // stored one (at most MaxClimb times a burst). Below the full rate the stored budget is
    // disproved and forgotten. Either way polygons, the ordinary next budget, is the floor.
    void SetMeasuredPolygons(int polygons, int fps, double headroom);
    static constexpr double MaxClimb = 8.0;

    // (fps * polygons / 2500, integer) / 25: 1.0 for 2500 polygons at 25 frames per second.
    double Performance() const;
    double Performance1() const;        // Performance(), at most 1
    double PerformanceSlowest1() const; // the same from the slowest rate, at most 1

    // Each returns why the group did not reach the store, "" when it did (or the store
    // cannot tell).
    std::string SaveGeneral();   // Speed, BlankScreen, BlankMinutes
    std::string SaveImages();    // ImageProb, ImageOrder, then the folder list
    std::string SaveImageNext(); // ImageNext

    // The first-run estimate: frames per second for a speed test that took ms, 1..25.
    static int SpeedTestFramesPerSecond(std::int64_t ms);
    // Times the fixed arithmetic loop; returns its milliseconds, or -1 when a stop was
    // requested (or abandon was set) before it ended.
    static int RunSpeedTest(const std::atomic<bool>* abandon = nullptr);
    // A first run times the machine only once its first frame is up (the run does, beside
    // the frames): until the result is in, it draws with the estimate of any machine that
    // runs the test within 220 ms. True while a test is wanted and none was started.
    bool NeedsSpeedTest() const { return m_bSpeedTestPending && !m_bMeasured; }
    // A test was started: the record reads take its result from result (milliseconds, -1
    // when it was given up; nothing while it runs) once it is there. result must answer
    // until TakeSpeedTest.
    void ExpectSpeedTest(std::function<std::optional<int>()> result);
    // The test's end: its milliseconds, or -1 when it was given up (no record then).
    void TakeSpeedTest(int ms);

    // The "Folders" text: every folder followed by '*'. The text has no escape, so a folder
    // whose path holds a '*' would read back as two: such a folder cannot be stored.
    static constexpr char FolderSeparator = '*';
    static std::string JoinFolders(const std::vector<std::string>& folders);
    static bool CanStoreFolder(const std::string& folder) {
        return folder.find(FolderSeparator) == std::string::npos;
    }

private:
    void Load();
    void AwaitSpeedTest() const {
        if (m_SpeedTestResult)
            if (const std::optional<int> ms = m_SpeedTestResult())
                ApplySpeedTest(*ms);
    }
    void ApplySpeedTest(int ms) const;
    double PerformanceOf(int fps) const;
    bool ImagesOverridden() const { return m_Overrides.folders || m_Overrides.imageOrder; }

    ProfileStore& m_Store;
    bool m_bSaverMode = false;
    bool m_bTracing = false;
    RunOverrides m_Overrides;
    int m_RunImageNext = 0;

    std::vector<std::string> m_Folders;
    int m_Speed = DefaultSpeed();
    bool m_BlankScreen = DefaultBlankScreen();
    int m_BlankMinutes = DefaultBlankMinutes();
    int m_ImageProb = DefaultImageProb();
    int m_ImageNext = 0;
    int m_ImageOrder = 0;
    int m_BasePolygons = 2500;
    std::string m_InstallFolder;
    // Mutable: the first read after a speed test puts its result in place.
    mutable int m_FramesPerSecond = 0;
    mutable int m_SlowestFramesPerSecond = 0;
    mutable int m_Polygons = DefaultPolygons();
    // The first-run speed test runs beside the frames; a measurement of frames wins over
    // its result, and a test that never ended leaves no record to write.
    mutable std::function<std::optional<int>()> m_SpeedTestResult;
    bool m_bMeasured = false;
    bool m_bSpeedTestPending = false;
    mutable bool m_bNoRecord = false;
    int m_UnconfirmedPolygons = 0;
};
