#pragma once

// How an on-screen run leaves once the window is withdrawn and the record stored.
enum class RunEnd {
    Return, // frees the GL context and closes the display, then returns the status
    // Ends the process at once with the status: no GL object, context or connection is freed
    // one by one (the server frees a client's resources when its connection closes), and the
    // GL driver's exit handlers, which cost tens of milliseconds, never run.
    ExitProcess,
};
