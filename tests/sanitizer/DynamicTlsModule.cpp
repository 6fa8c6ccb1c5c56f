// A module with TLS of its own, loaded with dlopen: glibc gives each thread its block on the
// first access, from malloc.

#include <cstdlib>

namespace {
thread_local void* tSlots[4];
} // namespace

extern "C" {
void* DynamicTlsBlock();
void DynamicTlsKeep(std::size_t bytes);
}

extern "C" void* DynamicTlsBlock() {
    return tSlots;
}

// The only pointer to this block is in the module's TLS.
extern "C" void DynamicTlsKeep(std::size_t bytes) {
    tSlots[1] = std::malloc(bytes);
}
