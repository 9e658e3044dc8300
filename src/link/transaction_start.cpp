// Where a link's transaction numbers start. Peers echo the number and none
// relies on its first value; what matters is that a reply to a request of
// the link before, still on its way when that link closed, does not carry
// the number of the new link's first requests. Within a process the next
// link starts half-way round from where the last one stopped (in both the
// 8-bit and the 6-bit priority numbering); a new process starts anywhere.
#include <atomic>
#include <random>

#include "link/link_lifecycle.h"

namespace {

// 96 of 256, and 32 of the 64 priority numbers: as far as can be from both.
constexpr uint16_t kHalfWayRound = 0x60;

std::atomic<uint32_t>& NextStart() {
    static std::atomic<uint32_t> next{std::random_device{}() & 0xFFFF};
    return next;
}

}  // namespace

uint16_t TransactionCounterAtOpen() { return static_cast<uint16_t>(NextStart().load()); }

void NoteTransactionCounterAtClose(uint16_t counter) {
    NextStart().store(static_cast<uint16_t>(counter + kHalfWayRound));
}
