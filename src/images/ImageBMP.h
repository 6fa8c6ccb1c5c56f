#pragma once

#include "images/Image.h"

#include <cstdio>
#include <string>

// A Windows bitmap file, with or without its 14-byte file header, with a 40-byte (or
// longer) information header or a 12-byte OS/2 core header. Every size and offset the file
// gives is checked against the bytes the file really holds before anything is read or
// allocated. Every depth (1, 4, 8, 16 and 32 bits, run-length, bit fields, top-down rows)
// becomes the 24-bit form, blue, green, red, at decoding.
//
// A run-length picture is refused when it claims more than MaxRunPixelsPerByte pixels a byte
// of its coded bits: a run codes at most 255 pixels in 2 bytes, so an encoder that codes
// every pixel stays below half of that. Only a picture left mostly unwritten by jumps and
// early ends could go beyond, and its display would cost far more than its bytes.
class ImageBMP : public Image {
public:
    static constexpr std::int64_t MaxRunPixelsPerByte = 256;

    explicit ImageBMP(const std::string& path);
    // Reads from the current position of an open file, which stays open.
    explicit ImageBMP(std::FILE* file);

private:
    bool Read(std::FILE* file);
};
