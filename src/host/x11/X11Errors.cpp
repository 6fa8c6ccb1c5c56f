#include "host/x11/X11Errors.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

X11Errors::Record gRecord;

constexpr char kLost[] = "kinetora: lost the connection to the X server\n";
constexpr std::array<int, 3> kCrashSignals = {SIGSEGV, SIGBUS, SIGABRT};
volatile std::sig_atomic_t gConnection = -1;
std::array<struct sigaction, kCrashSignals.size()> gPreviousCrash{};
bool gWatching = false;

// The server closed its end: a peek reads the end of the stream (or the socket is gone).
bool ConnectionClosed(int fd) {
    char byte = 0;
    const ssize_t got = recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got == 0 || (got < 0 && (errno == ECONNRESET || errno == EPIPE || errno == ENOTCONN ||
                                    errno == EBADF));
}

// Async-signal-safe only. Otherwise it puts the previous action back and returns, so the
// faulting code runs again under it and a real fault still ends as one (or is reported by
// a sanitizer).
void OnCrash(int signal) {
    const int savedErrno = errno;
    const int fd = gConnection;
    if (fd >= 0 && ConnectionClosed(fd)) {
        [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kLost, sizeof kLost - 1);
        _exit(1);
    }
    for (std::size_t i = 0; i < kCrashSignals.size(); ++i) {
        if (kCrashSignals[i] == signal)
            sigaction(signal, &gPreviousCrash[i], nullptr);
    }
    errno = savedErrno;
}

int OnError(Display*, XErrorEvent* event) {
    if (gRecord.count++ == 0) {
        gRecord.code = event->error_code;
        gRecord.request = event->request_code;
        gRecord.resource = event->resourceid;
    }
    return 0;
}

int OnIOError(Display*) {
    std::fputs(kLost, stderr);
    // Xlib must not be returned to, and nothing that talks to the server may run now.
    _exit(1);
}

} // namespace

void X11Errors::Install() {
    XSetErrorHandler(OnError);
    XSetIOErrorHandler(OnIOError);
}

void X11Errors::WatchConnection(Display* display) {
    if (gWatching)
        Forget();
    gConnection = ConnectionNumber(display);
    for (std::size_t i = 0; i < kCrashSignals.size(); ++i) {
        struct sigaction action {};
        action.sa_handler = OnCrash;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_NODEFER;
        sigaction(kCrashSignals[i], &action, &gPreviousCrash[i]);
    }
    gWatching = true;
}

void X11Errors::Forget() {
    if (!gWatching)
        return;
    for (std::size_t i = 0; i < kCrashSignals.size(); ++i)
        sigaction(kCrashSignals[i], &gPreviousCrash[i], nullptr);
    gConnection = -1;
    gWatching = false;
}

void X11Errors::ExitIfLost(Display* display) {
    if (ConnectionClosed(ConnectionNumber(display))) {
        std::fputs(kLost, stderr);
        _exit(1);
    }
}

X11Errors::Record X11Errors::Take() {
    const Record record = gRecord;
    gRecord = Record{};
    return record;
}

X11Errors::Record X11Errors::Sync(Display* display) {
    XSync(display, False);
    return Take();
}

std::string X11Errors::Describe(Display* display, const Record& record) {
    char text[256] = "";
    XGetErrorText(display, record.code, text, sizeof text);
    return text;
}
