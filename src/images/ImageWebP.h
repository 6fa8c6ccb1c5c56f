#pragma once

#include "images/Image.h"

#include <cstdio>
#include <string>

// A WebP picture, lossy or lossless, still or animated (the first frame is shown), decoded
// to 24 bits with any transparency blended over the light blue background and turned
// upright by the orientation of its EXIF chunk. As for JPEG, a picture larger than
// sceneWidth / divisor on either side (when sceneWidth > 0) is decoded at 1/2, 1/4 or 1/8
// of its size, by the library's own scaling. With swap the pixels are held blue, green, red.
//
// The file is read whole (at most MaxFileBytes) and decoded in pieces of it, so an ending
// run gives the picture up between two. A lossless picture of one colour codes a great many
// pixels a byte; one that claims more than MaxPixelsPerByte pixels a byte of the file is
// refused before it is decoded, so the work a file may cause is tied to its size.
class ImageWebP : public Image {
public:
    static constexpr std::int64_t MaxFileBytes = 128LL * 1024 * 1024;
    static constexpr std::int64_t MaxPixelsPerByte = 4096;

    ImageWebP(const std::string& path, int divisor, bool swap, int sceneWidth);
    // Reads from an open file, which stays open.
    ImageWebP(std::FILE* file, int divisor, bool swap, int sceneWidth);

private:
    void Decode(std::FILE* file, int divisor, bool swap, int sceneWidth);
};
