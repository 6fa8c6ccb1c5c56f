#pragma once

#include <atomic>

// Raised once the run must end (an ending signal): long work anywhere (composition, the
// frame loop, decoders, the speed test) polls it between steps without a system call, so a
// stop is honoured in milliseconds even where no input gate reaches.
class StopRequest {
public:
    // Safe in a signal handler: the flag is a lock-free atomic.
    static void Raise() { s_Raised.store(true, std::memory_order_relaxed); }
    static void Clear() { s_Raised.store(false, std::memory_order_relaxed); }
    static bool Raised() { return s_Raised.load(std::memory_order_relaxed); }

    // Whether input that ends the run is waiting (a key in a full-screen run). Only the
    // thread that installs it asks it, since a window system's connection belongs to that
    // thread; nullptr removes it.
    using InputCheck = bool (*)();
    static void SetInputCheck(InputCheck check);
    // Raised(), or for long work on the check's thread (decoding, texture levels) also the
    // check's answer, asked at most every few milliseconds; a yes raises the flag.
    static bool Poll();

private:
    static_assert(std::atomic<bool>::is_always_lock_free);
    static inline std::atomic<bool> s_Raised{false};
};
