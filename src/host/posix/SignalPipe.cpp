#include "host/posix/SignalPipe.h"

#include "core/StopRequest.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 4> kSignals = {SIGTERM, SIGINT, SIGHUP, SIGCONT};

volatile std::sig_atomic_t gTerminatingSignal = 0;
volatile std::sig_atomic_t gContinues = 0;
volatile std::sig_atomic_t gWriteFd = -1;
std::array<struct sigaction, kSignals.size()> gPrevious{};

void OnSignal(int signal) {
    if (signal == SIGCONT) {
        gContinues = gContinues + 1;
        return;
    }
    const int savedErrno = errno;
    if (gTerminatingSignal == 0)
        gTerminatingSignal = signal;
    StopRequest::Raise();
    if (gWriteFd >= 0) {
        const char byte = 1;
        // A full pipe already wakes the reader; nothing else can go wrong that matters here.
        [[maybe_unused]] const ssize_t written = write(gWriteFd, &byte, 1);
    }
    errno = savedErrno;
}

bool MakePipe(int& readFd, int& writeFd) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    readFd = fds[0];
    writeFd = fds[1];
    return true;
}

} // namespace

SignalPipe::SignalPipe() {
    gTerminatingSignal = 0;
    StopRequest::Clear();
    if (MakePipe(m_ReadFd, m_WriteFd))
        gWriteFd = m_WriteFd;
    for (size_t i = 0; i < kSignals.size(); ++i) {
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(kSignals[i], &action, &gPrevious[i]);
    }
}

SignalPipe::~SignalPipe() {
    for (size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &gPrevious[i], nullptr);
    gWriteFd = -1;
    gTerminatingSignal = 0;
    StopRequest::Clear();
    if (m_ReadFd >= 0)
        close(m_ReadFd);
    if (m_WriteFd >= 0)
        close(m_WriteFd);
}

bool SignalPipe::Terminated() {
    return gTerminatingSignal != 0;
}

int SignalPipe::TerminatingSignal() {
    return gTerminatingSignal;
}

const char* SignalPipe::TerminatingSignalName() {
    switch (gTerminatingSignal) {
    case SIGTERM:
        return "SIGTERM";
    case SIGINT:
        return "SIGINT";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "";
    }
}

unsigned long SignalPipe::Continues() {
    return static_cast<unsigned long>(gContinues);
}
