#pragma once

#include <string>
#include <vector>

// Writes width x height RGB pixels (top row first) as an 8-bit PNG. Returns false and
// fills error when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string& error);
