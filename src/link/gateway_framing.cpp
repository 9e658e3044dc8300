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
    link->receiveState = kInLine;
    Packet* packet = link->awaitingReply ? TakeFreePacket(link) : nullptr;
    link->receivePacket = packet;
    if (!packet) return;
    link->writePosition = packet->data;
    link->roomLeft = kPacketDataSize;
}

}  // namespace

void GatewayReceiveByte(Link* link, uint8_t byte) {
    uint8_t b = byte & 0x7F;
    if (link->receiveState != kInLine) StartLine(link);
    Packet* packet = link->receivePacket;
    if (!packet) {
        if (IsControl(b)) link->receiveState = kIdle;
        return;
    }
    bool full = link->roomLeft == 0;
    if (!full) {
        *link->writePosition++ = b;
        --link->roomLeft;
    }
    bool ended = IsControl(b);
    if (!ended && !full) return;
    packet->length = static_cast<uint16_t>(kPacketDataSize - link->roomLeft);
    link->receivePacket = nullptr;
    QueueReply(link, packet);
    // A line longer than a packet is cut; its rest is dropped up to the next
    // control character (unless the byte that did not fit was that one).
    link->receiveState = ended ? kIdle : kInLine;
}

int GatewayNextTransmitByte(Link* link) {
    while (!link->transmitPacket) {
        Packet* packet = RemovePacket(link->transmitQueue);
        if (!packet) return kNothing;
        if (packet->length == 0) {
            ReturnFreePacket(link, packet);
            continue;
        }
        link->transmitPacket = packet;
        link->readPosition = packet->data;
        link->bytesLeft = packet->length;
    }
    uint8_t b = *link->readPosition++;
    if (--link->bytesLeft == 0) {
        ReturnFreePacket(link, link->transmitPacket);
        link->transmitPacket = nullptr;
    }
    return b;
}
