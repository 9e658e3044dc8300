// Modbus RTU framing. A frame ends at the first pause longer than the read
// interval; a reply whose length follows from its function code and whose
// CRC checks is completed at once, without waiting for the pause.
#include "link/checksum.h"
#include "link/link.h"
#include "link/link_backend.h"
#include "link/modbus_protocol.h"

using namespace modbus;

namespace {

constexpr int kNothing = 256;

bool IsControl(uint8_t b) { return (b & 0x7F) < 0x20; }

void DeliverFrame(Link* link) {
    Packet* packet = link->receivePacket;
    link->receivePacket = nullptr;
    link->receiveState = RxIdle;
    int received = kPacketDataSize - link->roomLeft;
    if (received < 3 || link->receiveChecksum != 0) {
        link->damagedReply = true;
        ReturnFreePacket(packet);
        return;
    }
    packet->length = static_cast<uint16_t>(received - 2);
    packet->address[0] = link->frameTag;
    QueueReply(link, packet);
}

void StartFrame(Link* link, uint8_t address) {
    if (!link->awaitingReply) {
        link->receiveState = IsControl(address) ? RxIdle : RxDiscardLine;
        return;
    }
    Packet* packet = TakeFreePacket();
    if (!packet) return;
    link->receivePacket = packet;
    link->frameTag = address;
    link->receiveChecksum = CrcStep(kCrcStart, address);
    link->writePosition = packet->data;
    link->roomLeft = kPacketDataSize;
    link->receiveState = RxRtuFrame;
}

void AddFrameByte(Link* link, uint8_t b) {
    if (link->roomLeft == 0) {
        ReturnFreePacket(link->receivePacket);
        link->receivePacket = nullptr;
        link->receiveState = RxDiscardFrame;
        CancelReplyWait(link);
        return;
    }
    *link->writePosition++ = b;
    --link->roomLeft;
    link->receiveChecksum = CrcStep(link->receiveChecksum, b);
    int pduBytes = kPacketDataSize - link->roomLeft;
    int expected = ExpectedRtuReplyLength(link->receivePacket->data, pduBytes);
    if (expected && pduBytes + 1 == expected && link->receiveChecksum == 0) DeliverFrame(link);
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
    switch (link->receiveState) {
        case RxIdle:
            return StartFrame(link, b);
        case RxRtuFrame:
            return AddFrameByte(link, b);
        case RxDiscardLine:
            if (IsControl(b)) link->receiveState = RxIdle;
            return;
        default:
            return;
    }
}

void ModbusRtuEndOfFrame(Link* link) {
    if (link->receivePacket) return DeliverFrame(link);
    link->receiveState = RxIdle;
}

int ModbusRtuNextTransmitByte(Link* link) {
    switch (link->transmitState) {
        case TxIdle: {
            Packet* packet = RemovePacket(link->transmitQueue);
            if (!packet) return kNothing;
            link->transmitPacket = packet;
            link->transmitChecksum = CrcStep(kCrcStart, packet->address[0]);
            link->readPosition = packet->data;
            link->bytesLeft = packet->length;
            link->transmitState = TxRtuPdu;
            return packet->address[0];
        }
        case TxRtuPdu:
            if (link->bytesLeft) {
                uint8_t b = *link->readPosition++;
                --link->bytesLeft;
                link->transmitChecksum = CrcStep(link->transmitChecksum, b);
                return b;
            }
            link->transmitState = TxRtuCrcHigh;
            return link->transmitChecksum & 0xFF;
        case TxRtuCrcHigh:
            ReturnFreePacket(link->transmitPacket);
            link->transmitPacket = nullptr;
            link->transmitState = TxIdle;
            return link->transmitChecksum >> 8;
        default:
            link->transmitState = TxIdle;
            return kNothing;
    }
}

namespace {

// A frame in progress can only end at a pause; until then its bytes are
// dropped, so its rest is never taken for the start of the reply.
void ModbusRtuDiscardStale(Link* link) {
    ReturnFreePacket(link->receivePacket);
    link->receivePacket = nullptr;
    if (link->receiveState != RxIdle) link->receiveState = RxDiscardFrame;
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
    "Modbus RTU",
};
