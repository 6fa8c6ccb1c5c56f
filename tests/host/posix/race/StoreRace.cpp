// Two processes started together write different groups of the same settings file, many
// times over; afterwards both groups must hold what was written.
//
//   kinetora_store_race [--plain] [trials]        runs the trials, prints the lost count
//   kinetora_store_race --write FOLDER record|general TRIAL [--plain]
//
// Each writer opens its settings, reports ready on fd 4 and blocks on fd 3; the driver closes
// fd 3 once both are ready, so both writes start at the same moment (in odd trials one
// writer opens its settings just after the start instead, see OpensLate).
// --plain writes with a bare QSettings instead of the store, to show what it would lose.

#include "core/RegSettings.h"
#include "host/posix/IniProfileStore.h"

#include <QSettings>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kGoFd = 3;
constexpr int kReadyFd = 4;

struct Expected {
    int fps, polygons, speed, blankScreen, blankMinutes;
};

Expected ExpectedFor(int trial) {
    return {trial % 25 + 1, 1000 + trial, trial % 101, trial % 2, trial % 1000};
}

// In odd trials one writer (the record's or the general's in turn) opens its settings only
// after the start, 0 to 1.8 ms late, so that its read meets the other's write.
bool OpensLate(int trial, bool record) {
    return trial % 4 == 1 ? record : trial % 4 == 3 ? !record : false;
}

// Says ready and blocks until the driver lets both writers go.
bool WaitForStart(int trial, bool record) {
    const char ready = 'r';
    if (::write(kReadyFd, &ready, 1) != 1)
        return false;
    char go = 0;
    ssize_t n = 0;
    while ((n = ::read(kGoFd, &go, 1)) < 0 && errno == EINTR) {
    }
    if (n != 0)
        return false; // end of file is the signal: the driver closed its end
    if (OpensLate(trial, record))
        std::this_thread::sleep_for(std::chrono::microseconds(trial / 4 % 10 * 200));
    return true;
}

int WritePlain(const std::string& folder, bool record, int trial) {
    const bool late = OpensLate(trial, record);
    if (late && !WaitForStart(trial, record))
        return 3;
    const Expected e = ExpectedFor(trial);
    QSettings settings(QString::fromStdString(folder + "/Kinetora.conf"), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Config"));
    settings.value(QStringLiteral("Speed")); // read at start-up, as a running program would
    if (!late && !WaitForStart(trial, record))
        return 3;
    if (record) {
        settings.setValue(QStringLiteral("FramesPerSecond"), e.fps);
        settings.setValue(QStringLiteral("Polygons"), e.polygons);
    } else {
        settings.setValue(QStringLiteral("Speed"), e.speed);
        settings.setValue(QStringLiteral("BlankScreen"), e.blankScreen);
        settings.setValue(QStringLiteral("BlankMinutes"), e.blankMinutes);
    }
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError ? 0 : 2;
}

int Write(const std::string& folder, bool record, int trial) {
    const bool late = OpensLate(trial, record);
    if (late && !WaitForStart(trial, record))
        return 3;
    const Expected e = ExpectedFor(trial);
    IniProfileStore store(folder);
    RegSettings settings(store);
    if (!late && !WaitForStart(trial, record))
        return 3;
    if (record) {
        settings.SetFramesPerSecond(e.fps);
        settings.SetSlowestFramesPerSecond(e.fps);
        settings.SetPolygons(e.polygons);
        settings.SetRunModeSaver(true); // the record is written as settings goes out of scope
    } else {
        settings.SetSpeed(e.speed);
        settings.SetBlankScreen(e.blankScreen != 0);
        settings.SetBlankMinutes(e.blankMinutes);
        settings.SaveGeneral();
    }
    return 0;
}

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() {
        if (::pipe2(fds, O_CLOEXEC) != 0)
            fds[0] = fds[1] = -1;
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool Ok() const { return fds[0] >= 0; }
    void CloseRead() { Close(fds[0]); }
    void CloseWrite() { Close(fds[1]); }
    static void Close(int& fd) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

// Starts a writer with the go pipe's read end as fd 3 and the ready pipe's write end as fd 4.
pid_t Spawn(const std::vector<std::string>& args, const Pipe& go, const Pipe& ready) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, go.fds[0], kGoFd);
    ::posix_spawn_file_actions_adddup2(&actions, ready.fds[1], kReadyFd);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int Reap(pid_t pid) {
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

int Run(int trials, bool plain) {
    char pattern[] = "/tmp/kinetora-race-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) {
        std::perror("mkdtemp");
        return 2;
    }
    const std::string folder = made;
    {
        IniProfileStore seed(folder); // a measured machine: no speed test in the writers
        seed.WriteGroup({{"FramesPerSecond", 10}, {"Polygons", 999}, {"Speed", 50}});
    }
    int lostRecord = 0, lostGeneral = 0, failed = 0;
    for (int trial = 0; trial < trials; ++trial) {
        const std::string number = std::to_string(trial);
        std::vector<std::string> a{"race", "--write", folder, "record", number};
        std::vector<std::string> b{"race", "--write", folder, "general", number};
        if (plain) {
            a.push_back("--plain");
            b.push_back("--plain");
        }
        Pipe go, ready;
        if (!go.Ok() || !ready.Ok()) {
            std::perror("pipe");
            return 2;
        }
        const pid_t pa = Spawn(a, go, ready);
        const pid_t pb = Spawn(b, go, ready);
        go.CloseRead();
        ready.CloseWrite();
        char readyBytes[2];
        std::size_t got = 0;
        ssize_t n = 0;
        while (got < 2 && (n = ::read(ready.fds[0], readyBytes + got, 2 - got)) != 0) {
            if (n > 0)
                got += static_cast<std::size_t>(n);
            else if (errno != EINTR)
                break;
        }
        go.CloseWrite(); // both are ready (or one died): let them go
        const int ra = Reap(pa);
        const int rb = Reap(pb);
        if (ra != 0 || rb != 0)
            ++failed;

        const Expected e = ExpectedFor(trial);
        const IniProfileStore check(folder);
        if (check.ReadInt("FramesPerSecond", -1) != e.fps ||
            check.ReadInt("Polygons", -1) != e.polygons)
            ++lostRecord;
        if (check.ReadInt("Speed", -1) != e.speed ||
            check.ReadInt("BlankScreen", -1) != e.blankScreen ||
            check.ReadInt("BlankMinutes", -1) != e.blankMinutes)
            ++lostGeneral;
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    const int lost = lostRecord + lostGeneral;
    std::printf("%s: lost %d of %d (record %d, general %d); trials with a failed writer %d\n",
                plain ? "plain QSettings" : "store", lost, trials, lostRecord, lostGeneral, failed);
    return lost == 0 && failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool plain = false;
    std::erase_if(args, [&plain](const std::string& arg) {
        const bool match = arg == "--plain";
        plain = plain || match;
        return match;
    });
    if (args.size() == 4 && args[0] == "--write") {
        const bool record = args[2] == "record";
        const int trial = std::atoi(args[3].c_str());
        return plain ? WritePlain(args[1], record, trial) : Write(args[1], record, trial);
    }
    if (args.size() <= 1) {
        const int trials = args.empty() ? 1000 : std::atoi(args[0].c_str());
        return Run(trials > 0 ? trials : 1000, plain);
    }
    std::fprintf(stderr, "usage: kinetora_store_race [--plain] [trials]\n");
    return 2;
}
