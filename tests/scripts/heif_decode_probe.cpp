// Preloaded into the program by heif_module_test.py: wraps the HEIF library's
// decode call and, when the process runs its shared objects' destructors, notes how many
// decodes were still under way. Each event is one line appended to $HEIF_PROBE_FILE:
// "start", "end", "teardown N". A process that ends by _exit or quick_exit writes no
// teardown line.
#include <libheif/heif.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

std::atomic<int> gRunning{0};

void Note(const std::string& line) {
    const char* path = std::getenv("HEIF_PROBE_FILE");
    if (path == nullptr)
        return;
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const std::string text = line + "\n";
    [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
    ::close(fd);
}

using DecodeFunction = decltype(&heif_decode_image);

DecodeFunction Real() {
    // The module opens the library in a scope of its own: ask for it by name.
    static const DecodeFunction real = [] {
        void* next = dlsym(RTLD_NEXT, "heif_decode_image");
        if (next == nullptr)
            if (void* library = dlopen("libheif.so.1", RTLD_NOW | RTLD_NOLOAD))
                next = dlsym(library, "heif_decode_image");
        return reinterpret_cast<DecodeFunction>(next);
    }();
    return real;
}

__attribute__((destructor)) void AtTeardown() {
    Note("teardown " + std::to_string(gRunning.load()));
}

} // namespace

extern "C" __attribute__((visibility("default"))) heif_error
heif_decode_image(const heif_image_handle* handle, heif_image** image, heif_colorspace colorspace,
                  heif_chroma chroma, const heif_decoding_options* options) {
    const DecodeFunction real = Real();
    if (real == nullptr)
        std::abort();
    ++gRunning;
    Note("start");
    const heif_error result = real(handle, image, colorspace, chroma, options);
    Note("end");
    --gRunning;
    return result;
}
