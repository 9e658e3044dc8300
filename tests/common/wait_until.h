// Waiting for a condition with a deadline, never with a fixed sleep: the
// condition is looked at again every step until it holds or time runs out.
#pragma once
#include <poll.h>

#include <chrono>

namespace waiting {
using Millis = std::chrono::milliseconds;
inline constexpr Millis kDeadline{10000};  // generous: the machine may be loaded
inline constexpr Millis kStep{20};
}  // namespace waiting

// True as soon as done() holds; false when it still does not at the deadline
// (looked at once more then, so a condition met at the last moment counts).
template <class Pred>
bool WaitUntil(Pred done, waiting::Millis deadline = waiting::kDeadline,
               waiting::Millis step = waiting::kStep) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return done();
        poll(nullptr, 0, int(step.count()));
    }
    return true;
}
