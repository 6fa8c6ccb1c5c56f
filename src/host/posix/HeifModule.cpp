#include "host/posix/HeifModule.h"

#include "host/posix/ModulePath.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

// The entry point images/HeifPicture.cpp exports.
constexpr const char* kDecodeSymbol = "kinetora_heif_decode";

HeifDecodeFunction Load(std::string& error) {
    std::string tried;
    for (const std::string& path : ModuleCandidates("kinetora-heif.so")) {
        if (access(path.c_str(), F_OK) != 0) {
            tried += (tried.empty() ? "" : ", ") + path;
            continue;
        }
        // Never unloaded: a worker abandoned by a stop may still be decoding at exit.
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = dlerror();
            error = why != nullptr ? why : path + ": cannot be loaded";
            return nullptr;
        }
        auto* decode = reinterpret_cast<HeifDecodeFunction>(dlsym(handle, kDecodeSymbol));
        if (decode == nullptr) {
            error = path + " is not the HEIF decoder of this program";
            dlclose(handle);
            return nullptr;
        }
        return decode;
    }
    error = "not found (looked for " + tried + ")";
    return nullptr;
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
