// Message buffers that move between a link's queues, each owned by the link
// that took it. A link has a few out at most, so a peer that sends without
// end cannot make it hold more.
#pragma once
#include <cstdint>

constexpr int kPacketAddressSize = 18;
constexpr int kPacketDataSize = 263;

struct Packet {
    Packet* next = nullptr;
    uint16_t length = 0;
    uint8_t address[kPacketAddressSize] = {};
    uint8_t data[kPacketDataSize] = {};
};

struct PacketQueue {
    Packet* head = nullptr;
    Packet* tail = nullptr;
};

void AppendPacket(PacketQueue& queue, Packet* packet);
Packet* RemovePacket(PacketQueue& queue);  // null when empty
int CountPackets(const PacketQueue& queue);

// The packets a link has out at once: a request, the frame being received
// and a reply waiting to be taken; one more covers a frame that comes
// before the waiter took the last.
constexpr int kPacketsPerLink = 4;

// Made when taken and deleted when given back: timing showed nothing to
// gain from recycling them. Not locked itself: the link's lock guards it.
class LinkPackets {
  public:
    Packet* Take();               // a zero-filled packet, or null when all are out
    void Return(Packet* packet);  // null is ignored
    int Available() const { return kPacketsPerLink - out_; }

  private:
    int out_ = 0;
};

struct Link;

// The packets of the link, under the link's lock (either thread may call).
Packet* TakeFreePacket(Link* link);  // null when the link's packets are all out
void ReturnFreePacket(Link* link, Packet* packet);
int FreePacketCount(Link* link);  // how many more it may take now
// Gives back whatever the link's queues and framing still hold.
void ReturnHeldPackets(Link* link);
