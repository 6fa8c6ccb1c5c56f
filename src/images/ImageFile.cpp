#include "images/ImageFile.h"

#include "images/ImageBMP.h"
#include "images/ImageHEIF.h"
#include "images/ImageJPEG.h"
#include "images/ImagePNG.h"
#include "images/ImageWebP.h"

#include <algorithm>
#include <cctype>

namespace {

std::string LowerExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    // A dot in a folder name is not an extension.
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

ImageFormat FormatFor(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == "bmp")
        return ImageFormat::Bitmap;
    if (extension == "png")
        return ImageFormat::Png;
    if (extension == "webp")
        return ImageFormat::WebP;
    if (extension == "heic" || extension == "heif" || extension == "avif")
        return ImageFormat::Heif;
    return ImageFormat::Jpeg;
}

std::unique_ptr<Image> DecodeImageFile(const std::string& path, bool swap, int sceneWidth) {
    switch (FormatFor(path)) {
    case ImageFormat::Bitmap:
        return std::make_unique<ImageBMP>(path);
    case ImageFormat::Png:
        return std::make_unique<ImagePNG>(path);
    case ImageFormat::WebP:
        return std::make_unique<ImageWebP>(path, 1, swap, sceneWidth);
    case ImageFormat::Heif:
        return std::make_unique<ImageHEIF>(path, 1, swap, sceneWidth);
    case ImageFormat::Jpeg:
        break;
    }
    return std::make_unique<ImageJPEG>(path, 1, swap, sceneWidth);
}
