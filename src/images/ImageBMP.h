#pragma once

#include "images/Image.h"

#include <cstdio>
#include <string>

// A Windows bitmap file, with or without its 14-byte file header, with a 40-byte (or
// longer) information header or a 12-byte OS/2 core header. Every size and offset the file
// gives is checked against the bytes the file really holds before anything is read or
// allocated; top-down (negative height) bitmaps are refused.
class ImageBMP : public Image {
public:
    explicit ImageBMP(const std::string& path);
    // Reads from the current position of an open file, which stays open.
    explicit ImageBMP(std::FILE* file);

private:
    bool Read(std::FILE* file);
};
