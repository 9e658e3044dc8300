// Feeds fuzz input into one receive mode of a link with no port or thread,
// pulling what the transmitter would send between bytes, and checks that no
// packet is lost or duplicated on the way.
#pragma once
#include <cstdint>
#include <cstdlib>

#include "link/link_backend.h"
#include "link/link_lifecycle.h"
#include "link/link_state.h"
#include "link/symax_state.h"

inline int PacketsHeldBy(Link* link) {
    return CountPackets(link->replyQueue) + CountPackets(link->transmitQueue) +
           (link->framing->receivePacket ? 1 : 0) + (link->framing->transmitPacket ? 1 : 0);
}

// The first bytes choose the link state: CRC mode, awaiting a reply, the
// expected transaction, and whether the bytes are drawn mostly from the
// framing characters (so that uniform random input still makes frames); the
// rest are received. A byte 0xFD stands for a pause on the line; every 0xFC
// lets the transmitter send what it has and queues a request packet.
inline void FuzzReceiveMode(LinkKind kind, const uint8_t* data, size_t size) {
    if (size < 3) return;
    Link* link = CreateLink(kind);
    const int total = FreePacketCount(link);
    link->framing->lineFlags = static_cast<uint16_t>(LineWriting | (data[0] & 1 ? LineCrcMode : 0));
    link->framing->awaitingReply = data[1] & 1;
    if (kind == LinkSyMax) SyMax(link).expectedTransaction = data[2];
    const LinkBackend* backend = link->backend;
    const bool framing = data[0] & 2;
    static const uint8_t kFraming[] = {0x10, 0x01, 0x02, 0x03, 0x05, 0x11, 0x12, 0x15, 0x16,
                                       0xFE, ':',  '\r', '\n', '0',  '1',  'A',  'F',  0x00};
    for (size_t i = 3; i < size; ++i) {
        uint8_t byte = framing && data[i] < 0xC0 ? kFraming[data[i] % sizeof kFraming] : data[i];
        if (byte == 0xFD && backend->endOfPause) {
            backend->endOfPause(link);
        } else if (byte == 0xFC) {
            if (Packet* packet = TakeFreePacket(link)) {
                packet->length = static_cast<uint16_t>(data[i - 1] % 40);
                packet->address[0] = 0xFF;
                AppendPacket(link->transmitQueue, packet);
            }
            for (int n = 0; n < 64 && NextTransmitByte(link) < 256; ++n) {
            }
        } else {
            ReceiveByte(link, byte);
        }
        if (FreePacketCount(link) + PacketsHeldBy(link) != total) abort();
    }
    ReturnHeldPackets(link);
    if (FreePacketCount(link) != total) abort();
    DestroyLink(link);
}
