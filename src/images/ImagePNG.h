#pragma once

#include "images/Image.h"

#include <cstdio>
#include <string>

// A PNG picture of any colour type (RGB, RGBA, grey, grey with alpha, palette; 1 to 16
// bits), decoded to 24 bits with any transparency blended over light blue (red 31, green
// 127, blue 255) and turned upright by the orientation of an eXIf chunk. Pictures over the
// pixel limit are not valid.
//
// Nor is a file whose rows (as stored, before any expansion) would hold more than
// MaxBytesPerByte bytes a byte of the file: deflate codes at most 1032 bytes in one.
class ImagePNG : public Image {
public:
    static constexpr std::int64_t MaxBytesPerByte = 1032;

    explicit ImagePNG(const std::string& path);
    // Reads from an open file, which stays open.
    explicit ImagePNG(std::FILE* file);

private:
    void Decode(std::FILE* file);
};
