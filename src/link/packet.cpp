// Packet queues and the packets each link has out.
#include "link/packet.h"

#include <mutex>
#include <new>

#include "link/link_state.h"

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

Packet* LinkPackets::Take() {
    if (out_ >= kPacketsPerLink) return nullptr;
    Packet* packet = new (std::nothrow) Packet();
    if (packet) ++out_;
    return packet;
}

void LinkPackets::Return(Packet* packet) {
    if (!packet) return;
    delete packet;
    --out_;
}

Packet* TakeFreePacket(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    return link->packets.Take();
}

void ReturnFreePacket(Link* link, Packet* packet) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    link->packets.Return(packet);
}

int FreePacketCount(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    return link->packets.Available();
}

void ReturnHeldPackets(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    while (Packet* packet = RemovePacket(link->replyQueue)) link->packets.Return(packet);
    while (Packet* packet = RemovePacket(link->transmitQueue)) link->packets.Return(packet);
    if (SerialFraming* framing = link->framing.get()) {
        link->packets.Return(framing->transmitPacket);
        link->packets.Return(framing->receivePacket);
        framing->transmitPacket = framing->receivePacket = nullptr;
    }
}
