#pragma once

#include "images/Image.h"

#include <cstddef>
#include <cstdint>

// A HEIF file's primary image decoded and averaged down (see ImageHEIF). Only the decoding
// unit, which alone calls the HEIF library, makes one; ImageHEIF takes its pixels over.
class HeifPicture : public Image {
public:
    bool Make(const std::uint8_t* bytes, std::size_t size, int divisor, bool swap, int sceneWidth);

private:
    bool Average(const std::uint8_t* plane, int stride, int width, int height, bool alpha,
                 int denominator, bool swap);
};

// The decoding unit's one entry point: the program loads it as a module, so a run without
// such pictures never loads the library and its codecs; tests link it in. False when the
// bytes are no picture it can show.
extern "C" bool kinetora_heif_decode(const std::uint8_t* bytes, std::size_t size, int divisor,
                                     bool swap, int sceneWidth, HeifPicture* picture);
using HeifDecodeFunction = decltype(&kinetora_heif_decode);
