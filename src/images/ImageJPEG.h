#pragma once

#include "images/Image.h"

#include <cstdio>
#include <string>

struct jpeg_decompress_struct;

// A JPEG photograph (colour, grey or CMYK), decoded to 24 bits and turned upright by the
// orientation of its Exif block (APP1). When a scene window
// is given (sceneWidth > 0), a photograph larger than sceneWidth / divisor on either side
// is decoded at 1/2, 1/4 or at most 1/8 of its size. With swap the pixels are held blue,
// green, red, as a bitmap has them; without, red, green, blue.
//
// Truncated files, more than MaxScans scans and pictures over
// the pixel limit are not valid. The library's own working memory is capped too, so a
// progressive file that claims an enormous size fails instead of exhausting memory.
//
// The work a file may cause is tied to its size. Huffman coding spends at least one bit on
// every 8 x 8 block of the first scan that covers it, so a colour picture codes at most
// about 460 pixels a byte: more than MaxPixelsPerByte (before scaling) is refused. Every
// scan of a progressive file runs over all blocks of its components, however few bytes it
// has: the blocks of all scans together may not exceed MaxScanBlocksPerByte a byte (a flat
// picture in ten scans needs about 40).
class ImageJPEG : public Image {
public:
    static constexpr int MaxScans = 500;
    static constexpr std::int64_t MaxPixelsPerByte = 2048;
    static constexpr std::int64_t MaxScanBlocksPerByte = 256;
    static constexpr long MaxDecoderMemory = 256L * 1024 * 1024;

    ImageJPEG(const std::string& path, int divisor, bool swap, int sceneWidth);
    // Reads from an open file, which stays open.
    ImageJPEG(std::FILE* file, int divisor, bool swap, int sceneWidth);

    int RowPadding() const override { return Width() % 4; }

private:
    void Decode(std::FILE* file, int divisor, bool swap, int sceneWidth);
    bool ReadRows(jpeg_decompress_struct* cinfo);
    static int Orientation(const jpeg_decompress_struct& cinfo);
};
