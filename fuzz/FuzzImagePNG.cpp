#include "FuzzImage.h"
#include "images/ImagePNG.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzImage(data, size, [](std::FILE* file) { return std::make_unique<ImagePNG>(file); });
}
