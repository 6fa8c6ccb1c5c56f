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

    // Installs the handlers (process-wide). A lost connection cannot be survived in Xlib: it
    // prints one line and ends the process with status 1.
    static void Install();
    // Returns the errors recorded since the last call and forgets them.
    static Record Take();
    // Waits until the server has answered everything sent so far, then Take().
    static Record Sync(Display* display);
    // "BadWindow (invalid Window parameter)" and the like.
    static std::string Describe(Display* display, const Record& record);
};
