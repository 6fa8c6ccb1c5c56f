#pragma once

// Reading pictures back in the decoder tests: decoding from memory and comparing pixels.

#include "TestImages.h"
#include "images/Image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace testimages {

// Decodes bytes held in memory with decoder T, which reads them as it reads a file; args
// follow the file in T's constructor.
template <typename T, typename... Args>
std::unique_ptr<T> DecodeBytes(const Bytes& bytes, Args... args) {
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    auto image = std::make_unique<T>(file, args...);
    std::fclose(file);
    return image;
}

// The pixel at column x, row y from the top, of a bottom-up RGB copy.
inline Rgb PixelAt(const RGBImage& rgb, int x, int y) {
    const std::size_t at = 3 * (static_cast<std::size_t>(rgb.height - 1 - y) * rgb.width + x);
    return {rgb.bytes[at], rgb.bytes[at + 1], rgb.bytes[at + 2]};
}
// Each channel within tolerance.
inline void ExpectNearRgb(Rgb want, Rgb got, int tolerance) {
    EXPECT_NEAR(want.r, got.r, tolerance);
    EXPECT_NEAR(want.g, got.g, tolerance);
    EXPECT_NEAR(want.b, got.b, tolerance);
}

} // namespace testimages
