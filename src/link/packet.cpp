// Packet queues and the program-wide free pool.
#include "link/packet.h"

#include <mutex>
#include <new>

namespace {

// The pool outlives every link and is never freed. It has its own lock: links
// of different threads (a test peer and a master in one process) share it.
struct FreePool {
    std::mutex lock;
    PacketQueue queue;
};

FreePool& Pool() {
    static FreePool* pool = new FreePool;  // never destroyed: packets stay valid at exit
    return *pool;
}

}  // namespace

void AppendPacket(PacketQueue& queue, Packet* packet) {
    packet->next = nullptr;
    if (queue.tail)
        queue.tail->next = packet;
    else
        queue.head = packet;
    queue.tail = packet;
}

Packet* RemovePacket(PacketQueue& queue) {
    Packet* packet = queue.head;
    if (!packet) return nullptr;
    queue.head = packet->next;
    if (!queue.head) queue.tail = nullptr;
    packet->next = nullptr;
    return packet;
}

int CountPackets(const PacketQueue& queue) {
    int n = 0;
    for (const Packet* p = queue.head; p; p = p->next) ++n;
    return n;
}

Packet* TakeFreePacket() {
    std::lock_guard<std::mutex> guard(Pool().lock);
    return RemovePacket(Pool().queue);
}

void ReturnFreePacket(Packet* packet) {
    if (!packet) return;
    std::lock_guard<std::mutex> guard(Pool().lock);
    AppendPacket(Pool().queue, packet);
}

void AddFreePackets(int count) {
    for (int i = 0; i < count; ++i) {
        Packet* packet = new (std::nothrow) Packet();
        if (packet) ReturnFreePacket(packet);
    }
}

int FreePacketCount() {
    std::lock_guard<std::mutex> guard(Pool().lock);
    return CountPackets(Pool().queue);
}
