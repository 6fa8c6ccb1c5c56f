#include "host/posix/TraceFile.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void Refuse(const std::string& path, const char* why) {
    static bool said = false;
    if (!said)
        std::fprintf(stderr, "kinetora: trace file %s not written: %s\n", path.c_str(), why);
    said = true;
}

} // namespace

TraceLog::File OpenOwnTraceFile(const std::string& path, bool fresh) {
    // Non-blocking, so that a FIFO in the file's place cannot hold the open; never O_TRUNC,
    // which would empty whatever was opened before it is looked at.
    const int fd = ::open(
        path.c_str(),
        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == ELOOP) // a folder we cannot write loses the trace quietly, as elsewhere
            Refuse(path, "it is a symbolic link");
        return nullptr;
    }
    struct stat st {};
    const char* problem = nullptr;
    if (::fstat(fd, &st) != 0)
        problem = std::strerror(errno);
    else if (!S_ISREG(st.st_mode))
        problem = "not a regular file";
    else if (st.st_uid != ::geteuid())
        problem = "another user owns it";
    else if (st.st_nlink != 1)
        problem = "it has another name (a hard link)";
    else if (fresh && ::ftruncate(fd, 0) != 0)
        problem = std::strerror(errno);
    std::FILE* file = problem ? nullptr : ::fdopen(fd, "ab");
    if (file == nullptr) {
        Refuse(path, problem ? problem : std::strerror(errno));
        ::close(fd);
    }
    return TraceLog::File(file);
}
