#pragma once

// Pictures in the newer formats and variants for the decoder tests, made with the formats'
// own encoders: WebP (still, animated, with an EXIF chunk), HEIC and AVIF, CMYK JPEG, and
// the Exif blocks that carry an orientation.

#include "TestImages.h"

#include <cstdint>

namespace testimages {

// A TIFF block with one IFD0 entry, the orientation, little- or big-endian, after the
// "Exif\0\0" prefix when `prefix`.
Bytes ExifBlock(int orientation, bool bigEndian, bool prefix);
// A JPEG with an APP1 segment holding `exif` right after its start of image.
Bytes WithApp1(const Bytes& jpeg, const Bytes& exif);

// CMYK or YCCK picture from the pixel colours; the inks are stored inverted, as Adobe's
// marker (which the encoder writes) says.
Bytes JpegCmyk(int width, int height, const PixelFn& pixel, bool ycck);

// Still WebP, lossy or lossless, with alpha from alphaFn when given, and an EXIF chunk when
// exif is not empty.
using AlphaFn = std::function<std::uint8_t(int x, int y)>;
Bytes WebP(int width, int height, const PixelFn& pixel, bool lossless, const Bytes& exif = {},
           const AlphaFn& alpha = nullptr);
// Two frames of width x height: the first `first`, the second `second`.
Bytes WebPAnimated(int width, int height, const PixelFn& first, const PixelFn& second);

// HEIC (HEVC) or AVIF (AV1), 8 bits, lossy at high quality, alpha when given. `exif` is
// stored as the file's Exif item.
Bytes Heif(int width, int height, const PixelFn& pixel, bool avif, const Bytes& exif = {},
           const AlphaFn& alpha = nullptr);
// The file with its pixel information property ('pixi', 16 bytes) replaced by a rotation
// ('irot', quarter turns anticlockwise) or a mirror ('imir') of the same size, so the same
// item gets the transformation. False when there is no such property.
bool ReplacePixi(Bytes& heif, const char (&type)[5], std::uint8_t value);

} // namespace testimages
