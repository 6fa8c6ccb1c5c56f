#include "host/x11/X11Errors.h"

#include <cstdio>
#include <unistd.h>

namespace {

X11Errors::Record gRecord;

int OnError(Display*, XErrorEvent* event) {
    if (gRecord.count++ == 0) {
        gRecord.code = event->error_code;
        gRecord.request = event->request_code;
        gRecord.resource = event->resourceid;
    }
    return 0;
}

int OnIOError(Display*) {
    std::fputs("kinetora: lost the connection to the X server\n", stderr);
    // Xlib must not be returned to, and nothing that talks to the server may run now.
    _exit(1);
}

} // namespace

void X11Errors::Install() {
    XSetErrorHandler(OnError);
    XSetIOErrorHandler(OnIOError);
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
