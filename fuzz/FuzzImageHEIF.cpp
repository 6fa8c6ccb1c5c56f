#include "FuzzImage.h"
#include "images/ImageHEIF.h"

#include <memory>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ImageHEIF::SetDecoderSource([] { return &kinetora_heif_decode; });
    return 0;
}

// HEIC and AVIF take the same path through our code (the worker, the averaging down):
// decoded at full size with the bitmap's byte order, and scaled with the texture's.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzImage(data, size,
              [](std::FILE* file) { return std::make_unique<ImageHEIF>(file, 1, true, 0); });
    return FuzzImage(data, size, [](std::FILE* file) {
        return std::make_unique<ImageHEIF>(file, 2, false, 16);
    });
}
