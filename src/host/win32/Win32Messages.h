#pragma once

#include <string>

// Message boxes for the shell's "Error" and "Note" messages (tvLibrary's sink): an error
// box owned by the active window of this thread, a note owned by the foreground window,
// or unowned when there is none.
void InstallMessageBoxes();

// A one-line failure of the command line or the start-up: on standard error when the
// program was started with one (from a console, or a test), else in an "Error" box.
void ReportStartupError(const std::string& text);
