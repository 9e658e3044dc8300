// Modbus ASCII framing: ':' then address, PDU and LRC as upper-case
// hexadecimal pairs, then CR LF. A control character ends a received frame.
#include <cstring>

#include "link/link_state.h"
#include "link/link_backend.h"
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
    Packet* packet = link->receivePacket;
    link->receivePacket = nullptr;
    link->receiveState = RxIdle;
    link->receiveFlags = 0;
    int bytes = kPacketDataSize - link->roomLeft / 2;
    if (bytes <= 1 || overflowed) {
        CancelReplyWait(link);
        ReturnFreePacket(link, packet);
    } else if ((link->receiveChecksum & 0xFF) != 0) {
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
    --link->roomLeft;
    if (!(link->receiveFlags & RxSecondDigit)) {
        *link->writePosition = static_cast<uint8_t>(value << 4);
        link->receiveFlags |= RxSecondDigit;
        return;
    }
    *link->writePosition |= value;
    link->receiveChecksum = static_cast<uint16_t>(link->receiveChecksum + *link->writePosition);
    ++link->writePosition;
    link->receiveFlags &= ~RxSecondDigit;
}

}  // namespace

void ModbusAsciiReceiveByte(Link* link, uint8_t b) {
    if (link->receiveState == RxIdle) {
        if (!link->awaitingReply || b != ':') return;
        Packet* packet = TakeFreePacket(link);
        if (!packet) return;
        link->receivePacket = packet;
        link->receiveChecksum = 0;
        link->receiveFlags = 0;
        link->writePosition = packet->data;
        link->roomLeft = kAsciiRoom;
        link->receiveState = RxAsciiFrame;
        return;
    }
    uint8_t c = b & 0x7F;
    if (c < 0x20) return EndFrame(link, false);
    if (link->roomLeft == 0) return EndFrame(link, true);
    AddDigit(link, c);
}

int ModbusAsciiNextTransmitByte(Link* link) {
    switch (link->transmitState) {
        case TxIdle: {
            Packet* packet = RemovePacket(link->transmitQueue);
            if (!packet) return kNothing;
            int length = packet->length < kPacketDataSize ? packet->length : kPacketDataSize - 1;
            memmove(packet->data + 1, packet->data, length);
            packet->data[0] = packet->address[0];
            packet->length = static_cast<uint16_t>(length + 1);
            link->transmitPacket = packet;
            link->transmitChecksum = 0;
            link->bytesLeft = static_cast<uint16_t>(2 * packet->length);
            link->readPosition = packet->data;
            link->transmitState = TxAsciiDigits;
            return ':';
        }
        case TxAsciiDigits:
            if (link->bytesLeft) {
                uint8_t b = *link->readPosition;
                if (link->bytesLeft-- % 2 == 0) {
                    link->transmitChecksum = static_cast<uint16_t>(link->transmitChecksum - b);
                    return kHex[b >> 4];
                }
                ++link->readPosition;
                return kHex[b & 0xF];
            }
            ReturnFreePacket(link, link->transmitPacket);
            link->transmitPacket = nullptr;
            link->transmitState = TxAsciiLrcLow;
            return kHex[(link->transmitChecksum >> 4) & 0xF];
        case TxAsciiLrcLow:
            link->transmitState = TxAsciiCr;
            return kHex[link->transmitChecksum & 0xF];
        case TxAsciiCr:
            link->transmitState = TxAsciiLf;
            return '\r';
        case TxAsciiLf:
            link->transmitState = TxIdle;
            return '\n';
        default:
            link->transmitState = TxIdle;
            return kNothing;
    }
}

namespace {

// A frame that never got its CR (a peer cut off in mid-frame) is dropped;
// the next ':' starts the reply afresh.
void ModbusAsciiDiscardStale(Link* link) {
    ReturnFreePacket(link, link->receivePacket);
    link->receivePacket = nullptr;
    link->receiveState = RxIdle;
    link->receiveFlags = 0;
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
