#pragma once

#include <X11/Xlib.h>

#include <string>

// Records X protocol errors instead of letting Xlib end the process, so a bad window id or a
// window that disappears mid-frame ends the run through its normal path with a message.
class X11Errors {
public:
    struct Record {
        unsigned long count = 0; // errors since the last Take()
        int code = 0;            // of the first of them
        int request = 0;
        unsigned long resource = 0;
    };

    // Installs the handlers (process-wide; before the display is opened, so that a
    // connection lost at once is reported the same way). A lost connection cannot be
    // survived in Xlib: it prints one line and ends the process with status 1.
    static void Install();
    // The GL library talks to the server on its own and may crash when the server has gone
    // (a reply it takes for granted is missing). Once the display is open, such a crash
    // while the connection is closed ends the run as a lost connection does; any other
    // crash stays a crash. Forget() undoes it before the display is closed.
    static void WatchConnection(Display* display);
    static void Forget();
    // The GL library may also just fail when the server has gone: then the run ends as a
    // lost connection does, rather than blame OpenGL.
    static void ExitIfLost(Display* display);
    // Returns the errors recorded since the last call and forgets them.
    static Record Take();
    // Waits until the server has answered everything sent so far, then Take().
    static Record Sync(Display* display);
    // "BadWindow (invalid Window parameter)" and the like.
    static std::string Describe(Display* display, const Record& record);
};
