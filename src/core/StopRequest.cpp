#include "core/StopRequest.h"

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
// Often enough for a stop within a frame period, rarely enough to cost nothing per row.
constexpr auto kCheckEvery = std::chrono::milliseconds(4);

struct CheckState {
    std::atomic<StopRequest::InputCheck> check{nullptr};
    std::thread::id thread; // written before the check is published
    Clock::time_point next; // touched by the check's thread alone
};

CheckState& State() {
    static CheckState state;
    return state;
}

} // namespace

void StopRequest::SetInputCheck(InputCheck check) {
    CheckState& state = State();
    state.check.store(nullptr, std::memory_order_release);
    state.thread = std::this_thread::get_id();
    state.next = Clock::time_point{};
    state.check.store(check, std::memory_order_release);
}

bool StopRequest::Poll() {
    if (Raised())
        return true;
    CheckState& state = State();
    const InputCheck check = state.check.load(std::memory_order_acquire);
    if (check == nullptr || std::this_thread::get_id() != state.thread)
        return false;
    const Clock::time_point now = Clock::now();
    if (now < state.next)
        return false;
    state.next = now + kCheckEvery;
    if (!check())
        return false;
    Raise();
    return true;
}
