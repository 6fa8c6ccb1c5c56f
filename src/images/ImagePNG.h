#pragma once

#include "images/Image.h"

#include <cstdio>
#include <string>

// A PNG picture in colour (RGB or RGBA, 8 or 16 bits a channel), decoded to 24 bits with
// any transparency blended over light blue (red 31, green 127, blue 255). Grey, grey with
// alpha and palette pictures are not valid, nor are pictures over the pixel limit.
//
// Nor is a file that claims more than MaxPixelsPerByte pixels a byte of the file: deflate
// codes at most 1032 bytes in one and every pixel we take has at least 3 bytes, so no
// real picture comes within a third of that.
class ImagePNG : public Image {
public:
    static constexpr std::int64_t MaxPixelsPerByte = 1032;
    static constexpr int BackgroundRed = 31;
    static constexpr int BackgroundGreen = 127;
    static constexpr int BackgroundBlue = 255;

    explicit ImagePNG(const std::string& path);
    // Reads from an open file, which stays open.
    explicit ImagePNG(std::FILE* file);

private:
    void Decode(std::FILE* file);
};
