// Places a dynamic TLS block 16 bytes into a page, where the sanitizer runtime of GCC 12
// mistakes the allocator's chunk header in front of it for glibc's old TLS header, then
// leaks one block on purpose and exits. The leak check must report that block, alone:
// not crash, and not take the block that only the TLS holds for a leak.
// Usage: kinetora_dynamic_tls MODULE

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {
// The block is the module's 32 bytes of TLS; blocks of that size sit 48 bytes apart, one
// after the other, so one in 256 starts at that place. Held here so that they are no leak.
constexpr std::size_t kBlockBytes = 32;
constexpr std::uintptr_t kStride = 48;
constexpr std::uintptr_t kPage = 4096;
void* gFiller[2 * 256];
void* volatile gLost = nullptr;
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s MODULE\n", argv[0]);
        return 2;
    }
    void* module = dlopen(argv[1], RTLD_NOW);
    if (module == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    auto* block = reinterpret_cast<void* (*)()>(dlsym(module, "DynamicTlsBlock"));
    auto* keep = reinterpret_cast<void (*)(std::size_t)>(dlsym(module, "DynamicTlsKeep"));
    if (block == nullptr || keep == nullptr) {
        std::fprintf(stderr, "%s: no DynamicTlsBlock or DynamicTlsKeep\n", argv[1]);
        return 2;
    }
    // Fill until the next block of that size starts 16 bytes into a page.
    for (void*& filler : gFiller) {
        filler = std::malloc(kBlockBytes);
        if ((reinterpret_cast<std::uintptr_t>(filler) + kStride) % kPage == 16)
            break;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(block());
    if (address % kPage != 16) {
        std::fprintf(stderr, "the TLS block is at %#lx, not 16 bytes into a page\n",
                     static_cast<unsigned long>(address));
        return 3;
    }
    keep(1717);
    gLost = std::malloc(4242);
    gLost = nullptr;
    std::fprintf(stderr, "the TLS block is 16 bytes into a page\n");
    return 0;
}
