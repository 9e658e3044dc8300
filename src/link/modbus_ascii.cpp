// Modbus ASCII framing: ':' then address, PDU and LRC as upper-case
// hexadecimal pairs, then CR LF. A control character ends a received frame.
#include <cstring>

#include "link/link_backend.h"
#include "link/link_state.h"
#include "link/modbus_protocol.h"

using namespace modbus;

namespace {

constexpr int kNothing = 256;
constexpr int kAsciiRoom = 2 * kPacketDataSize;
const char kHex[] = "0123456789ABCDEF";

uint8_t DigitValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;  // lower case too: such a frame fails its LRC
}

void EndFrame(Link* link, bool overflowed) {
    Packet* packet = link->framing->receivePacket;
    link->framing->receivePacket = nullptr;
    link->framing->receiveState = RxIdle;
    link->framing->receiveFlags = 0;
    int bytes = kPacketDataSize - link->framing->roomLeft / 2;
    if (bytes <= 1 || overflowed) {
        CancelReplyWait(link);
        ReturnFreePacket(link, packet);
    } else if ((link->framing->receiveChecksum & 0xFF) != 0) {
        link->damagedReply = true;
        ReturnFreePacket(link, packet);
    } else {
        packet->address[0] = packet->data[0];
        memmove(packet->data, packet->data + 1, bytes - 1);
        packet->length = static_cast<uint16_t>(bytes - 2);
        QueueReply(link, packet);
    }
}

void AddDigit(Link* link, uint8_t c) {
    uint8_t value = DigitValue(c);
    --link->framing->roomLeft;
    if (!(link->framing->receiveFlags & RxSecondDigit)) {
        *link->framing->writePosition = static_cast<uint8_t>(value << 4);
        link->framing->receiveFlags |= RxSecondDigit;
        return;
    }
    *link->framing->writePosition |= value;
    link->framing->receiveChecksum =
        static_cast<uint16_t>(link->framing->receiveChecksum + *link->framing->writePosition);
    ++link->framing->writePosition;
    link->framing->receiveFlags &= ~RxSecondDigit;
}

}  // namespace

void ModbusAsciiReceiveByte(Link* link, uint8_t b) {
    if (link->framing->receiveState == RxIdle) {
        if (!link->framing->awaitingReply || b != ':') return;
        Packet* packet = TakeFreePacket(link);
        if (!packet) return;
        link->framing->receivePacket = packet;
        link->framing->receiveChecksum = 0;
        link->framing->receiveFlags = 0;
        link->framing->writePosition = packet->data;
        link->framing->roomLeft = kAsciiRoom;
        link->framing->receiveState = RxAsciiFrame;
        return;
    }
    uint8_t c = b & 0x7F;
    if (c < 0x20) return EndFrame(link, false);
    if (link->framing->roomLeft == 0) return EndFrame(link, true);
    AddDigit(link, c);
}

int ModbusAsciiNextTransmitByte(Link* link) {
    switch (link->framing->transmitState) {
        case TxIdle: {
            Packet* packet = RemovePacket(link->transmitQueue);
            if (!packet) return kNothing;
            int length = packet->length < kPacketDataSize ? packet->length : kPacketDataSize - 1;
            memmove(packet->data + 1, packet->data, length);
            packet->data[0] = packet->address[0];
            packet->length = static_cast<uint16_t>(length + 1);
            link->framing->transmitPacket = packet;
            link->framing->transmitChecksum = 0;
            link->framing->bytesLeft = static_cast<uint16_t>(2 * packet->length);
            link->framing->readPosition = packet->data;
            link->framing->transmitState = TxAsciiDigits;
            return ':';
        }
        case TxAsciiDigits:
            if (link->framing->bytesLeft) {
                uint8_t b = *link->framing->readPosition;
                if (link->framing->bytesLeft-- % 2 == 0) {
                    link->framing->transmitChecksum =
                        static_cast<uint16_t>(link->framing->transmitChecksum - b);
                    return kHex[b >> 4];
                }
                ++link->framing->readPosition;
                return kHex[b & 0xF];
            }
            ReturnFreePacket(link, link->framing->transmitPacket);
            link->framing->transmitPacket = nullptr;
            link->framing->transmitState = TxAsciiLrcLow;
            return kHex[(link->framing->transmitChecksum >> 4) & 0xF];
        case TxAsciiLrcLow:
            link->framing->transmitState = TxAsciiCr;
            return kHex[link->framing->transmitChecksum & 0xF];
        case TxAsciiCr:
            link->framing->transmitState = TxAsciiLf;
            return '\r';
        case TxAsciiLf:
            link->framing->transmitState = TxIdle;
            return '\n';
        default:
            link->framing->transmitState = TxIdle;
            return kNothing;
    }
}

namespace {

// A frame that never got its CR (a peer cut off in mid-frame) is dropped;
// the next ':' starts the reply afresh.
void ModbusAsciiDiscardStale(Link* link) {
    ReturnFreePacket(link, link->framing->receivePacket);
    link->framing->receivePacket = nullptr;
    link->framing->receiveState = RxIdle;
    link->framing->receiveFlags = 0;
}

}  // namespace

extern const LinkBackend kModbusAsciiBackend = {
    LinkModbusAscii,
    ModbusAsciiReceiveByte,
    ModbusAsciiNextTransmitByte,
    nullptr,
    ModbusHoldingRead,
    ModbusWrite,
    ModbusInputRead,
    ModbusGeneralReferenceWrite,
    nullptr,
    ModbusAsciiDiscardStale,
    true,
    false,
    "Modbus ASCII",
};
