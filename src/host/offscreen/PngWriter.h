#pragma once

#include <string>
#include <vector>

// Checks, before any drawing, that a picture can be written to path: the name is new or
// names a regular file we may write (a symbolic link counts as its target), and its folder
// takes new files. Refuses FIFOs, devices and folders, which could block or be destroyed.
// False with the reason in error.
bool CanWritePng(const std::string& path, std::string& error);

// Writes width x height RGB pixels (top row first) as an 8-bit PNG. The picture goes to a
// temporary file in the same folder, flushed to the disk, and replaces the old file only
// when complete, keeping its mode: a full disk or a failed write leaves any picture of
// that name as it was and no temporary file behind. Returns false and fills error when the
// file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string& error);
