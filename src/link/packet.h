// Message buffers that move between a link's queues and the program-wide
// free pool. Packets are recycled, never freed, so no request allocates.
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

// The free pool, shared by all links and guarded by its own lock.
Packet* TakeFreePacket();  // null when the pool is empty
void ReturnFreePacket(Packet* packet);
void AddFreePackets(int count);  // new zero-filled packets
int FreePacketCount();
