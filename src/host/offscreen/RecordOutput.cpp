#include "host/offscreen/RecordOutput.h"

#include "host/posix/SignalPipe.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Small enough that a write after poll() never blocks for long: a pipe with room for one
// page takes at least that much before the call could wait, and a signal then returns it.
constexpr std::size_t kChunk = 64 * 1024;

} // namespace

RecordOutput::RecordOutput(std::string path, int fd, int signalFd)
    : m_Path(std::move(path)), m_Fd(fd), m_SignalFd(signalFd) {}

bool RecordOutput::Open(std::string& error) {
    if (!IsStream())
        return m_File.Open(m_Path, error);
    if (isatty(m_Fd)) {
        error = "it is a terminal (pipe it to a player or an encoder)";
        return false;
    }
    return true;
}

bool RecordOutput::Write(const void* data, std::size_t size, std::string& error) {
    if (SignalPipe::Terminated())
        return false;
    if (IsStream())
        return WriteFd(static_cast<const unsigned char*>(data), size, error);
    if (std::fwrite(data, 1, size, m_File.File()) != size) {
        error = std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

bool RecordOutput::WriteFd(const unsigned char* data, std::size_t size, std::string& error) const {
    while (size > 0) {
        pollfd fds[2] = {{m_Fd, POLLOUT, 0}, {m_SignalFd, POLLIN, 0}};
        const int ready = poll(fds, 2, -1);
        if (SignalPipe::Terminated())
            return false;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            error = std::strerror(errno);
            return false;
        }
        // An error or hang-up on the descriptor shows in the write below.
        const ssize_t written = write(m_Fd, data, std::min(size, kChunk));
        if (written < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            error = std::strerror(errno);
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool RecordOutput::Finish(std::string& error) {
    return IsStream() || m_File.Commit(error);
}
