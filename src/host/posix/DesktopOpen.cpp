#include "host/posix/DesktopOpen.h"

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>
#include <vector>

extern char** environ;

bool OpenWithDesktop(const std::string& path) {
    std::string program = "xdg-open";
    std::vector<char*> argv{program.data(), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(3);
    while (steady_clock::now() < deadline) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0)
            return false;
        std::this_thread::sleep_for(milliseconds(50));
    }
    return true;
}
