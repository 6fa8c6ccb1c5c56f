#pragma once

#include <string>

// Starts xdg-open on path. A launcher that fails at once (no handler, no browser) counts as
// a failure; one still running after a short while (3 s) has handed the file over.
bool OpenWithDesktop(const std::string& path);
