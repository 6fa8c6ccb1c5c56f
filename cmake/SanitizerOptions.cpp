// Linked into every executable of the sanitizer build; ASAN_OPTIONS still overrides it.
//
// intercept_tls_get_addr=0: Debian 12's runtime (GCC 12) takes a dynamic TLS block that
// malloc happened to place 16 bytes into a page for the block of a glibc older than 2.25,
// reads the allocator's chunk header in front of it as that block's start and size, and the
// leak check at exit then scans that made-up range: "Tracer caught signal 11". Whether it
// happens depends only on where a TLS block of the driver lands on the heap (one place in
// hundreds, for each thread), so any change in the allocations before it (a longer argv[0],
// another argument, the rasteriser's threads) starts or stops it. Without the interception
// the check loses nothing: glibc allocates those blocks with malloc from the dynamic linker,
// and the leak checker already takes every such chunk as reachable and scans it. Fixed in
// the runtime from LLVM 17 on.

#include <sanitizer/asan_interface.h>

extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
