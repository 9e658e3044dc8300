// The queues between a request and the receiver, and the reply wait: one
// idle callback per tick of at most 10 ms, but it returns as soon as a reply
// is queued (the receiver notifies the condition variable, or runs in the
// waiting thread itself on a line the requester drives).
#include <algorithm>
#include <chrono>

#include "link/link_backend.h"
#include "link/link_state.h"
#include "link/serial_port.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kTick(10);

std::chrono::milliseconds ReplyTime(const Link* link) { return kTick * link->replyTimeout; }

bool DrivenByRequester(const Link* link) { return link->port && link->port->drivenByRequester; }

// Waits, with the link locked by guard, up to `most` for ready(): on a line
// the requester drives, by driving it (unlocked while it polls); otherwise
// until the receiver notifies. True when ready.
template <class Ready>
bool AwaitLine(Link* link, std::unique_lock<std::recursive_mutex>& guard, Clock::duration most,
               Ready ready) {
    if (!DrivenByRequester(link)) return link->replyArrived.wait_for(guard, most, ready);
    const Clock::time_point end = Clock::now() + most;
    while (!ready()) {
        const Clock::time_point now = Clock::now();
        if (now >= end) return false;
        guard.unlock();
        DriveLineOnce(link, *link->port, end - now);
        guard.lock();
    }
    return true;
}

// What came on a requester-driven line since the last request is taken in
// now, as a reader thread would have taken it on arrival, so that it is
// judged as what it is (a late or foreign frame) and not as this request's
// answer.
void TakeInWhatCame(Link* link) {
    if (!DrivenByRequester(link)) return;
    for (int rounds = 0; rounds < 64 && DriveLineOnce(link, *link->port, Clock::duration(0));)
        ++rounds;
}

// One call of the link's idle routine, with the link unlocked so that the
// routine may draw and read keys; false, with the abort text, when it asks
// the wait to end.
bool IdleGoesOn(Link* link, std::unique_lock<std::recursive_mutex>& guard) {
    LinkIdleCallback idle = link->idleCallback;
    void* argument = link->idleArgument;
    guard.unlock();
    int goOn = idle(argument);
    guard.lock();
    if (!goOn) SetLinkError(link, LinkFailure::Aborted, "Application idle abort");
    return goOn != 0;
}

// True once a late reply has come and the line has been quiet for the gap
// that ends a frame after it, or once one reply time has passed: a reply
// later than that is not waited for.
bool LateReplyWentBy(Link* link, Clock::time_point giveUp) {
    Clock::time_point now = Clock::now();
    if (now >= giveUp) return true;
    const SerialPort* port = link->port;
    if (!port || port->lastByte <= link->overdueSince) return false;
    return now - port->lastByte >= std::chrono::milliseconds(port->readIntervalMs);
}

// Lets a reply that comes after its request gave up arrive while nobody
// waits, so that the receiver drops it instead of taking it for the answer
// to the next request. False when the user aborted the wait.
bool LetLateReplyGoBy(Link* link, std::unique_lock<std::recursive_mutex>& guard) {
    Clock::time_point giveUp = link->overdueSince + ReplyTime(link);
    auto wentBy = [link, giveUp] { return LateReplyWentBy(link, giveUp); };
    while (!wentBy()) {
        if (!IdleGoesOn(link, guard)) return false;
        AwaitLine(link, guard, kTick, wentBy);
    }
    return true;
}

}  // namespace

std::chrono::milliseconds RequestAllowance(const Link* link) { return 2 * ReplyTime(link); }

void LetLateReplyGoByBeforeClose(Link* link) {
    std::unique_lock<std::recursive_mutex> guard(link->lock);
    const LinkBackend* backend = link->backend;
    if (!link->replyOverdue || !backend || !backend->lateRepliesLookCurrent || !link->port) return;
    const Clock::time_point giveUp = link->overdueSince + ReplyTime(link);
    auto wentBy = [link, giveUp] { return LateReplyWentBy(link, giveUp); };
    while (!wentBy()) AwaitLine(link, guard, kTick, wentBy);
}

void StartRequestDeadline(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    link->requestDeadline = Clock::now() + RequestAllowance(link);
}

bool RequestDeadlinePassed(const Link* link) { return Clock::now() >= link->requestDeadline; }

bool BeginSerialRequest(Link* link) {
    // A device that went away and is back under its name is opened again;
    // one still gone is said so now, not after a reply timeout that no reply
    // could ever have beaten.
    if (!ReopenSerialPort(link)) return false;
    TakeInWhatCame(link);
    std::unique_lock<std::recursive_mutex> guard(link->lock);
    const LinkBackend* backend = link->backend;
    if (link->replyOverdue && backend && backend->lateRepliesLookCurrent &&
        !LetLateReplyGoBy(link, guard))
        return false;
    link->replyOverdue = false;
    while (Packet* packet = RemovePacket(link->replyQueue)) ReturnFreePacket(link, packet);
    // Requests that were never sent (a line held up by flow control) are
    // dropped rather than sent late: their callers have given up, and each
    // would hold one of the link's few packets.
    while (Packet* packet = RemovePacket(link->transmitQueue)) ReturnFreePacket(link, packet);
    if (backend && backend->discardStale) backend->discardStale(link);
    return true;
}

void EndSerialRequest(Link* link, bool replied) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    link->framing->awaitingReply = 0;
    link->replyOverdue = !replied;
    if (!replied) link->overdueSince = Clock::now();
}

int SendPacket(Link* link, Packet* packet) {
    {
        std::lock_guard<std::recursive_mutex> guard(link->lock);
        AppendPacket(link->transmitQueue, packet);
    }
    KickTransmitter(link);
    return 1;
}

Packet* WaitForReply(Link* link, int ticks) {
    std::unique_lock<std::recursive_mutex> guard(link->lock);
    if (Packet* packet = RemovePacket(link->replyQueue)) return packet;
    if (ticks <= 0) return nullptr;
    link->waitCancelled = false;
    auto ready = [link] { return link->replyQueue.head != nullptr || link->waitCancelled; };
    for (int counter = ticks; !ready() && counter-- != 0 && !RequestDeadlinePassed(link);) {
        if (!IdleGoesOn(link, guard)) break;
        auto left =
            std::chrono::ceil<std::chrono::milliseconds>(link->requestDeadline - Clock::now());
        AwaitLine(link, guard, std::clamp(left, std::chrono::milliseconds(0), kTick), ready);
    }
    return RemovePacket(link->replyQueue);
}

Packet* WaitForFittingReply(Link* link, const std::function<bool(const Packet*)>& fits) {
    const Clock::time_point end = Clock::now() + ReplyTime(link);
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
        const int ticks = static_cast<int>((left.count() + kTick.count() - 1) / kTick.count());
        Packet* reply = WaitForReply(link, RequestDeadlinePassed(link) ? 0 : ticks);
        if (!reply || fits(reply)) return reply;
        ReturnFreePacket(link, reply);
    }
}

void ResetQueues(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    while (Packet* packet = RemovePacket(link->replyQueue)) ReturnFreePacket(link, packet);
    while (Packet* packet = RemovePacket(link->transmitQueue)) ReturnFreePacket(link, packet);
}

void CancelReplyWait(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    link->waitCancelled = true;
    link->replyArrived.notify_all();
}

void QueueReply(Link* link, Packet* packet) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    AppendPacket(link->replyQueue, packet);
    link->replyArrived.notify_all();
}
