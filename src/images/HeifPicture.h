#pragma once

#include "images/Image.h"

#include <cstddef>
#include <cstdint>

// A HEIF file's primary image decoded and averaged down (see ImageHEIF). Only the decoding
// unit, which alone calls the HEIF library, makes one; ImageHEIF takes its pixels over.
struct HeifRequest {
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    int divisor = 1;
    bool swap = false;
    int sceneWidth = 0;
    // Whether the run ends. Passed in: a module has no share in the program's stop flag.
    bool (*stopped)() = nullptr;
};

class HeifPicture : public Image {
public:
    bool Make(const HeifRequest& request);

private:
    bool Average(const std::uint8_t* plane, int stride, int width, int height, bool alpha,
                 int denominator, const HeifRequest& request);
};

// The decoding unit's one entry point: the program loads it as a module, so a run without
// such pictures never loads the library and its codecs; tests link it in. False when the
// request's bytes are no picture it can show.
extern "C" bool kinetora_heif_decode(const HeifRequest* request, HeifPicture* picture);
using HeifDecodeFunction = decltype(&kinetora_heif_decode);
