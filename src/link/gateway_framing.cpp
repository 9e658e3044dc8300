// Gateway line framing. A received line, its ending control character
// included, becomes one reply packet while a command awaits its answer;
// lines at other times are dropped. Commands go out byte for byte.
#include "link/gateway_protocol.h"
#include "link/link_state.h"

namespace {

constexpr int kNothing = 256;
constexpr uint8_t kIdle = 0;
constexpr uint8_t kInLine = 6;

bool IsControl(uint8_t b) { return b < 0x20; }

void StartLine(Link* link) {
    link->framing->receiveState = kInLine;
    Packet* packet = link->framing->awaitingReply ? TakeFreePacket(link) : nullptr;
    link->framing->receivePacket = packet;
    if (!packet) return;
    link->framing->writePosition = packet->data;
    link->framing->roomLeft = kPacketDataSize;
}

}  // namespace

void GatewayReceiveByte(Link* link, uint8_t byte) {
    uint8_t b = byte & 0x7F;
    if (link->framing->receiveState != kInLine) StartLine(link);
    Packet* packet = link->framing->receivePacket;
    if (!packet) {
        if (IsControl(b)) link->framing->receiveState = kIdle;
        return;
    }
    bool full = link->framing->roomLeft == 0;
    if (!full) {
        *link->framing->writePosition++ = b;
        --link->framing->roomLeft;
    }
    bool ended = IsControl(b);
    if (!ended && !full) return;
    packet->length = static_cast<uint16_t>(kPacketDataSize - link->framing->roomLeft);
    link->framing->receivePacket = nullptr;
    QueueReply(link, packet);
    // A line longer than a packet is cut; its rest is dropped up to the next
    // control character (unless the byte that did not fit was that one).
    link->framing->receiveState = ended ? kIdle : kInLine;
}

int GatewayNextTransmitByte(Link* link) {
    while (!link->framing->transmitPacket) {
        Packet* packet = RemovePacket(link->transmitQueue);
        if (!packet) return kNothing;
        if (packet->length == 0) {
            ReturnFreePacket(link, packet);
            continue;
        }
        link->framing->transmitPacket = packet;
        link->framing->readPosition = packet->data;
        link->framing->bytesLeft = packet->length;
    }
    uint8_t b = *link->framing->readPosition++;
    if (--link->framing->bytesLeft == 0) {
        ReturnFreePacket(link, link->framing->transmitPacket);
        link->framing->transmitPacket = nullptr;
    }
    return b;
}
