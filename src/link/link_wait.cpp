// The queues between a request and the reader thread, and the reply wait:
// one idle callback per tick of at most 10 ms, but it returns as soon as a
// reply is queued (the receiver notifies the condition variable).
#include <chrono>

#include "link/link.h"

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
    for (int counter = ticks; !ready() && counter-- != 0;) {
        LinkIdleCallback idle = link->idleCallback;
        void* argument = link->idleArgument;
        guard.unlock();
        int goOn = idle(argument);
        guard.lock();
        if (!goOn) {
            SetLinkError(link, "Application idle abort");
            break;
        }
        link->replyArrived.wait_for(guard, std::chrono::milliseconds(10), ready);
    }
    return RemovePacket(link->replyQueue);
}

void ResetQueues(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    while (Packet* packet = RemovePacket(link->replyQueue)) ReturnFreePacket(packet);
    while (Packet* packet = RemovePacket(link->transmitQueue)) ReturnFreePacket(packet);
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
