#include "ProgramRun.h"

#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::string> Environment(const std::string& configHome,
                                     const std::map<std::string, std::string>& overrides) {
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const size_t eq = entry.find('=');
        if (eq != std::string::npos)
            vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    vars["XDG_CONFIG_HOME"] = configHome;
    vars.erase("XSCREENSAVER_WINDOW");
    vars.erase("TOVNTEMP");
    for (const auto& [name, value] : overrides) {
        if (value.empty())
            vars.erase(name);
        else
            vars[name] = value;
    }
    std::vector<std::string> out;
    for (const auto& [name, value] : vars)
        out.push_back(name + "=" + value);
    return out;
}

int StatusOf(int raw) {
    if (WIFEXITED(raw))
        return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw))
        return 128 + WTERMSIG(raw);
    return -1;
}

} // namespace

ProgramRun::ProgramRun(const std::vector<std::string>& args, const std::string& configHome,
                       const std::map<std::string, std::string>& env) {
    m_StdoutPath = configHome + "/stdout.txt";
    m_StderrPath = configHome + "/stderr.txt";
    std::vector<std::string> argStrings{KINETORA_PROGRAM};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = Environment(configHome, env);
    std::vector<char*> envp;
    for (auto& e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, m_StdoutPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, m_StderrPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0)
        m_Pid = pid;
    posix_spawn_file_actions_destroy(&actions);
}

ProgramRun::~ProgramRun() {
    if (Running()) {
        kill(m_Pid, SIGKILL);
        int raw = 0;
        waitpid(m_Pid, &raw, 0);
    }
}

std::optional<int> ProgramRun::WaitExit(int ms) {
    WaitUntil([this] { return !Running(); }, ms);
    return m_Status;
}

bool ProgramRun::Running() {
    if (m_Pid <= 0 || m_Status)
        return false;
    int raw = 0;
    if (waitpid(m_Pid, &raw, WNOHANG) == m_Pid)
        m_Status = StatusOf(raw);
    return !m_Status;
}

void ProgramRun::Signal(int signal) const {
    if (m_Pid > 0 && !m_Status)
        kill(m_Pid, signal);
}

bool ProgramRun::Catches(int signal) const {
    if (m_Pid <= 0 || m_Status)
        return false;
    std::ifstream status("/proc/" + std::to_string(m_Pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0;
    }
    return false;
}

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::string ProgramRun::Stdout() const {
    return ReadText(m_StdoutPath);
}

std::string ProgramRun::Stderr() const {
    return ReadText(m_StderrPath);
}

TempFolder::TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kinetora-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr)
        m_Path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!m_Path.empty())
        std::filesystem::remove_all(m_Path, ignored);
}

std::string TempFolder::SettingsText() const {
    std::ifstream in(m_Path + "/Tovenhall/Kinetora.conf");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WaitUntil(const std::function<bool()>& cond, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool IsProgramWindow(Display* display, Window window) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) == 0 || name == nullptr)
        return false;
    const bool match = std::strcmp(name, "Kinetora") == 0;
    XFree(name);
    return match;
}

std::vector<Window> ProgramChildren(Display* display, Window parent) {
    Window root = 0;
    Window up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> found;
    if (XQueryTree(display, parent, &root, &up, &children, &count) == 0)
        return found;
    for (unsigned i = 0; i < count; ++i) {
        if (IsProgramWindow(display, children[i]))
            found.push_back(children[i]);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}
