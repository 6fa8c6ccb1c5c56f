#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The real program started as a child process, with its own settings folder, so that tests
// see exactly what a user (or a screen-saver daemon) would.
class ProgramRun {
public:
    // env entries replace or add variables; an empty value removes one.
    ProgramRun(const std::vector<std::string>& args, const std::string& configHome,
               const std::map<std::string, std::string>& env = {});
    ~ProgramRun(); // kills the process if it still runs
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return m_Pid > 0; }
    // The exit status (128 + signal when killed), or nothing if it still runs after ms.
    std::optional<int> WaitExit(int ms);
    bool Running();
    void Signal(int signal) const;
    // The process has a handler installed for signal (so sending it is caught).
    bool Catches(int signal) const;
    std::string Stdout() const;
    std::string Stderr() const;

private:
    int m_Pid = -1;
    std::optional<int> m_Status;
    std::string m_StdoutPath;
    std::string m_StderrPath;
};

// A fresh folder for XDG_CONFIG_HOME, removed at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_Path; }
    // The settings file the program writes ("" when there is none).
    std::string SettingsText() const;

private:
    std::string m_Path;
};

// Polls cond every 20 ms for at most ms; true as soon as it holds.
bool WaitUntil(const std::function<bool()>& cond, int ms);

// The program's windows are named "Kinetora".
bool IsProgramWindow(Display* display, Window window);
// Children of parent named "Kinetora" (mapped or not).
std::vector<Window> ProgramChildren(Display* display, Window parent);
