#include "host/posix/HeifModule.h"

#include "host/posix/ModulePath.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The entry point images/HeifPicture.cpp exports.
constexpr const char* kDecodeSymbol = "kinetora_heif_decode";

HeifDecodeFunction Load(std::string& error) {
    // A worker abandoned by a stop may still be decoding at exit: the module stays loaded.
    std::vector<void*> found;
    if (!OpenModule("kinetora-heif.so", {kDecodeSymbol}, "HEIF decoder", found, error))
        return nullptr;
    return reinterpret_cast<HeifDecodeFunction>(found[0]);
}

} // namespace

HeifDecodeFunction LoadHeifModule() {
    std::string error;
    const HeifDecodeFunction decode = Load(error);
    if (decode == nullptr)
        std::fprintf(stderr,
                     "kinetora: HEIC and AVIF pictures cannot be read: the decoder "
                     "cannot be loaded: %s\n",
                     error.c_str());
    return decode;
}
