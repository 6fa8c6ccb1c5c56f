#pragma once

#include "images/HeifPicture.h"
#include "images/Image.h"

#include <cstdio>
#include <string>

// A HEIF picture: HEIC (HEVC) or AVIF (AV1), the primary image of the file, decoded to 24
// bits with any transparency blended over the light blue background. The library turns and
// mirrors it by the container's own rotation and mirror boxes, which take the place of an
// Exif orientation in these files (so the Exif tag is not applied a second time). The
// library has no scaled decoding: a picture larger than sceneWidth / divisor on either side
// (when sceneWidth > 0) is decoded in full, then averaged down by 2, 4 or 8 as a JPEG would
// be scaled. With swap the pixels are held blue, green, red.
//
// The library's decoding cannot be interrupted, and a large picture takes a good part of a
// second. It runs on a worker thread that owns the file's bytes and everything it makes;
// the caller waits for it, asking whether the run ends, and on a stop leaves at once: the
// worker finishes alone and frees what it made (the program keeps the decoder's module
// loaded, and ends through EndProcess). A picture of more than MaxPixelsPerByte
// pixels a byte of the file (a flat one codes a great many), or over the pixel limit, is
// refused before it is decoded.
//
// The decoder itself comes from a source set once for the process, asked on the first
// picture: the program loads a module, tests link the decoding unit. With no source, or
// none found, every such picture reads as not valid.
class ImageHEIF : public Image {
public:
    static constexpr std::int64_t MaxFileBytes = 128LL * 1024 * 1024;
    static constexpr std::int64_t MaxPixelsPerByte = 4096;

    ImageHEIF(const std::string& path, int divisor, bool swap, int sceneWidth);
    // Reads from an open file, which stays open.
    ImageHEIF(std::FILE* file, int divisor, bool swap, int sceneWidth);

    // Workers still running for callers that gave their pictures up.
    static int AbandonedWorkers();
    // Where main ends: returns status when no such worker runs. Otherwise the process ends
    // here with status, the C streams flushed, without the exit handlers and static
    // destructors (the decoder's libraries' among them) that the worker could still be
    // using (std::quick_exit). Waiting for it instead could cost a stop a whole decode.
    static int EndProcess(int status);

    // Gives the decoder, or nullptr when there is none; called once, on first use.
    using DecoderSource = HeifDecodeFunction (*)();
    static void SetDecoderSource(DecoderSource source);

private:
    static HeifDecodeFunction Decoder();
    void Decode(std::FILE* file, int divisor, bool swap, int sceneWidth);
};
