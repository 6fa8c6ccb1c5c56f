#pragma once

#include "images/Image.h"

#include <memory>
#include <string>

// Which decoder reads a picture file, by the text after the last '.' of its name, compared
// without regard to case: bmp, png, webp, heic / heif / avif; anything else (jpg, jpeg,
// jpe, unknown extensions, no extension) is read as JPEG.
enum class ImageFormat { Bitmap, Png, Jpeg, WebP, Heif };
ImageFormat FormatFor(const std::string& path);

// Decodes the picture at path with the decoder its name picks (never null; check IsValid).
// swap and sceneWidth as for ImageJPEG: 24-bit pixels held blue, green, red when swap is
// set; a picture larger than the scene window decoded smaller where the format allows.
std::unique_ptr<Image> DecodeImageFile(const std::string& path, bool swap, int sceneWidth);

// The HEIF family where this build reads it, for the pattern lists and the captions that
// name the formats.
#ifdef KINETORA_NO_HEIF
#define KINETORA_HEIF_PATTERNS
#define KINETORA_HEIF_NAMES
#define KINETORA_IMAGE_EXTENSIONS "jpg, jpe, jpeg, png, bmp or webp"
#else
#define KINETORA_HEIF_PATTERNS " *.heic *.heif *.avif"
#define KINETORA_HEIF_NAMES ", HEIC, AVIF"
#define KINETORA_IMAGE_EXTENSIONS "jpg, jpe, jpeg, png, bmp, webp, heic, heif or avif"
#endif

// Every picture file the listing, the search and the preview take, one after another
// ("*.jpg" also finds "A.JPG").
inline constexpr const char* ImagePatterns[] = {"*.jpg",  "*.jpe",  "*.jpeg", "*.png",
                                                "*.bmp",  "*.webp",
#ifndef KINETORA_NO_HEIF
                                                "*.heic", "*.heif", "*.avif"
#endif
};
