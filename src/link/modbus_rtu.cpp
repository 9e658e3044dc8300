// Modbus RTU framing. A frame ends at the first pause longer than the read
// interval; a reply whose length follows from its function code and whose
// CRC checks is completed at once, without waiting for the pause. On a busy
// shared line that pause may never come, so the reply of the drop asked is
// also found behind the rest of a frame that was already under way.
#include <cstring>

#include "link/checksum.h"
#include "link/link_backend.h"
#include "link/link_state.h"
#include "link/modbus_protocol.h"

using namespace modbus;

namespace {

constexpr int kNothing = 256;

void DeliverFrame(Link* link) {
    Packet* packet = link->framing->receivePacket;
    link->framing->receivePacket = nullptr;
    link->framing->receiveState = RxIdle;
    int received = kPacketDataSize - link->framing->roomLeft;
    if (received < 3 || link->framing->receiveChecksum != 0) {
        link->damagedReply = true;
        ReturnFreePacket(link, packet);
        return;
    }
    packet->length = static_cast<uint16_t>(received - 2);
    packet->address[0] = link->framing->frameTag;
    QueueReply(link, packet);
}

void StartFrame(Link* link, uint8_t address) {
    if (!link->framing->awaitingReply) return;
    Packet* packet = TakeFreePacket(link);
    if (!packet) return;
    link->framing->receivePacket = packet;
    link->framing->frameTag = address;
    link->framing->receiveChecksum = CrcStep(kCrcStart, address);
    link->framing->writePosition = packet->data;
    link->framing->roomLeft = kPacketDataSize;
    link->framing->receiveState = RxRtuFrame;
}

// Where in the bytes received so far a complete frame from the drop asked
// ends with them: a frame whose length follows from its function code and
// whose CRC checks. Returns its first byte's index in the packet, or -1.
int OwnFrameWithin(const Link* link, int pduBytes) {
    const uint8_t drop = static_cast<uint8_t>(link->route.count);
    if (drop == 0) return -1;  // a broadcast gets no reply
    const uint8_t* data = link->framing->receivePacket->data;
    for (int start = 0; start + 4 <= pduBytes; ++start) {
        if (data[start] != drop) continue;
        const int frameBytes = pduBytes - start;
        if (ExpectedRtuReplyLength(data + start + 1, frameBytes - 1) != frameBytes) continue;
        if (Crc16(data + start, static_cast<size_t>(frameBytes)) == 0) return start;
    }
    return -1;
}

// The bytes before the frame found belong to traffic that was on the line
// before the request: they are dropped and the frame delivered alone.
void DeliverFrameAt(Link* link, int start, int pduBytes) {
    uint8_t* data = link->framing->receivePacket->data;
    link->framing->frameTag = data[start];
    const int kept = pduBytes - start - 1;
    std::memmove(data, data + start + 1, static_cast<size_t>(kept));
    link->framing->roomLeft = static_cast<uint16_t>(kPacketDataSize - kept);
    link->framing->receiveChecksum = 0;
    DeliverFrame(link);
}

void AddFrameByte(Link* link, uint8_t b) {
    if (link->framing->roomLeft == 0) {
        ReturnFreePacket(link, link->framing->receivePacket);
        link->framing->receivePacket = nullptr;
        link->framing->receiveState = RxDiscardFrame;
        CancelReplyWait(link);
        return;
    }
    *link->framing->writePosition++ = b;
    --link->framing->roomLeft;
    link->framing->receiveChecksum = CrcStep(link->framing->receiveChecksum, b);
    int pduBytes = kPacketDataSize - link->framing->roomLeft;
    int expected = ExpectedRtuReplyLength(link->framing->receivePacket->data, pduBytes);
    if (expected && pduBytes + 1 == expected && link->framing->receiveChecksum == 0)
        return DeliverFrame(link);
    const int start = OwnFrameWithin(link, pduBytes);
    if (start >= 0) DeliverFrameAt(link, start, pduBytes);
}

}  // namespace

int ExpectedRtuReplyLength(const uint8_t* pdu, int pduBytes) {
    if (pduBytes < 1) return 0;
    uint8_t function = pdu[0];
    if (function & 0x80) return 1 + 2 + 2;
    switch (function) {
        case 0x03:
        case 0x04:
        case 0x15:
            return pduBytes < 2 ? 0 : 1 + 2 + pdu[1] + 2;
        case 0x10:
            return 1 + 5 + 2;
        default:
            return 0;
    }
}

void ModbusRtuReceiveByte(Link* link, uint8_t b) {
    switch (link->framing->receiveState) {
        case RxIdle:
            return StartFrame(link, b);
        case RxRtuFrame:
            return AddFrameByte(link, b);
        default:
            return;
    }
}

void ModbusRtuEndOfFrame(Link* link) {
    if (link->framing->receivePacket) return DeliverFrame(link);
    link->framing->receiveState = RxIdle;
}

int ModbusRtuNextTransmitByte(Link* link) {
    switch (link->framing->transmitState) {
        case TxIdle: {
            Packet* packet = RemovePacket(link->transmitQueue);
            if (!packet) return kNothing;
            link->framing->transmitPacket = packet;
            link->framing->transmitChecksum = CrcStep(kCrcStart, packet->address[0]);
            link->framing->readPosition = packet->data;
            link->framing->bytesLeft = packet->length;
            link->framing->transmitState = TxRtuPdu;
            return packet->address[0];
        }
        case TxRtuPdu:
            if (link->framing->bytesLeft) {
                uint8_t b = *link->framing->readPosition++;
                --link->framing->bytesLeft;
                link->framing->transmitChecksum = CrcStep(link->framing->transmitChecksum, b);
                return b;
            }
            link->framing->transmitState = TxRtuCrcHigh;
            return link->framing->transmitChecksum & 0xFF;
        case TxRtuCrcHigh:
            ReturnFreePacket(link, link->framing->transmitPacket);
            link->framing->transmitPacket = nullptr;
            link->framing->transmitState = TxIdle;
            return link->framing->transmitChecksum >> 8;
        default:
            link->framing->transmitState = TxIdle;
            return kNothing;
    }
}

namespace {

// A frame in progress belongs to the request before; the rest of it that
// is still to come starts the next frame, and the reply is found behind it.
void ModbusRtuDiscardStale(Link* link) {
    ReturnFreePacket(link, link->framing->receivePacket);
    link->framing->receivePacket = nullptr;
    link->framing->receiveState = RxIdle;
}

}  // namespace

extern const LinkBackend kModbusRtuBackend = {
    LinkModbusRtu,
    ModbusRtuReceiveByte,
    ModbusRtuNextTransmitByte,
    ModbusRtuEndOfFrame,
    ModbusHoldingRead,
    ModbusWrite,
    ModbusInputRead,
    ModbusGeneralReferenceWrite,
    nullptr,
    ModbusRtuDiscardStale,
    true,
    false,
    "Modbus RTU",
};
