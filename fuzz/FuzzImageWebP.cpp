#include "FuzzImage.h"
#include "images/ImageWebP.h"

#include <memory>

// Each input is decoded twice: at full size with the bitmap's byte order, and scaled to a
// small scene window with the texture's.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzImage(data, size,
              [](std::FILE* file) { return std::make_unique<ImageWebP>(file, 1, true, 0); });
    return FuzzImage(data, size, [](std::FILE* file) {
        return std::make_unique<ImageWebP>(file, 2, false, 64);
    });
}
