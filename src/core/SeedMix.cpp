#include "core/SeedMix.h"

#include <chrono>
#include <random>

namespace {

// The finaliser of SplitMix64: a bijection whose every input bit reaches every output bit.
std::uint64_t Mix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Entropy of the system, different in every process; where there is none, the address of a
// local variable still differs between processes under address-space randomisation.
std::uint64_t ProcessTag() {
    int local = 0;
    std::uint64_t tag = reinterpret_cast<std::uintptr_t>(&local);
    try {
        std::random_device device;
        tag ^= (std::uint64_t{device()} << 32) ^ device();
    } catch (...) {
        // no system entropy: the address and the clock remain
    }
    return tag;
}

} // namespace

int MixSeed(std::uint64_t clockNs, std::uint64_t processTag) {
    return static_cast<int>(Mix64(clockNs ^ Mix64(processTag)) >> 33);
}

int FreshSeed() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return MixSeed(static_cast<std::uint64_t>(ns), ProcessTag());
}
