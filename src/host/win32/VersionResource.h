#pragma once

#include <string>

// The "ProductVersion" text of a file's version resource (the US English, Unicode block
// "040904b0") as written there, e.g. "1, 0, 0, 0"; empty when the file, its resource or the
// value is missing.
std::string ReadProductVersion(const std::string& file);

// This program's version for display, from its own version resource ("1.0.0.0"); empty
// when the resource is missing.
std::string ModuleProductVersion();
