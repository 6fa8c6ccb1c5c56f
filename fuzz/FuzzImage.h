#pragma once

// Shared by the harnesses: decode one input from memory and use every output of a valid
// image, so the sanitizers see any read past the decoded bitmap.

#include "images/Image.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline volatile unsigned g_FuzzSink; // keeps the reads of the outputs

template <typename Decode>
int FuzzImage(const std::uint8_t* data, std::size_t size, Decode decode) {
    if (size == 0)
        return 0;
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    const auto image = decode(file);
    std::fclose(file);
    if (!image->IsValid())
        return 0;

    const std::size_t pixels =
        static_cast<std::size_t>(image->Width()) * static_cast<std::size_t>(image->Height());
    if (pixels == 0 || pixels > static_cast<std::size_t>(Image::MaxPixels) ||
        image->Block().size() < 40 + static_cast<std::size_t>(image->ImageSize()))
        std::abort();
    unsigned sum = 0;
    if (const auto rgb = image->ToRGB()) {
        if (rgb->bytes.size() != pixels * 3)
            std::abort();
        for (const std::uint8_t b : rgb->bytes)
            sum += b;
    }
    const auto display = image->ToDisplayPixels();
    if (!display.empty() && display.size() != pixels)
        std::abort();
    for (const std::uint32_t p : display)
        sum += p;
    g_FuzzSink = sum;
    return 0;
}
