#pragma once

#include <cstdint>
#include <span>

// The orientation tag (0x0112) of IFD0 in an Exif block: how the stored pixels must be
// turned or mirrored to stand upright, 1 (as stored) to 8. The block is the TIFF structure
// ("II*\0" or "MM\0*"), optionally preceded by "Exif\0\0" as a JPEG's APP1 segment has it.
// A block without the tag, with a value outside 1..8 or that is malformed in any way gives
// 1. Untrusted input: every offset is checked against the block, only IFD0 is read.
int ExifOrientation(std::span<const std::uint8_t> exif);
