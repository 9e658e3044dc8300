// Modbus register requests over a serial link (RTU or ASCII framing): read
// holding or input registers (3, 4), write multiple registers (16) and write
// general reference (21), with the checks of their replies.
#include <cstring>

#include "link/link.h"
#include "link/link_errors.h"
#include "link/modbus_protocol.h"

namespace {

// The byte count of functions 16 and 21 is one byte.
constexpr int kMaxWrite16 = 127;
constexpr int kMaxWrite21 = 124;

void PutWord(uint8_t* at, unsigned value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

uint8_t Drop(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    return static_cast<uint8_t>(link->route.count);
}

Packet* TakeRequestPacket(Link* link) {
    if (!BeginSerialRequest(link)) return nullptr;
    Packet* packet = TakeFreePacket();
    if (!packet) {
        SetLinkError(link, "Buffer shortage, try again");
        ResetQueues(link);
        return nullptr;
    }
    packet->address[0] = Drop(link);
    return packet;
}

// A frame arrived but failed its check: the line spoiled the reply, which a
// user fixes differently from a module that does not answer.
void NameDamagedReply(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    if (!link->damagedReply) return;
    SetLinkError(link, link->kind == LinkModbusAscii ? "Reply failed its LRC check"
                                                     : "Reply failed its CRC check");
}

Packet* Exchange(Link* link, Packet* packet, const char* timeoutText) {
    {
        std::lock_guard<std::recursive_mutex> guard(link->lock);
        link->awaitingReply = 1;
        link->damagedReply = false;
        while (Packet* stale = RemovePacket(link->replyQueue)) ReturnFreePacket(stale);
    }
    StartRequestDeadline(link);
    SendPacket(link, packet);
    SetLinkError(link, "%s", timeoutText);
    Packet* reply = WaitForReply(link, link->replyTimeout);
    EndSerialRequest(link, reply != nullptr);
    if (!reply && std::strcmp(link->errorText, timeoutText) == 0) NameDamagedReply(link);
    return reply;
}

bool CheckReadReply(Link* link, const Packet* reply, uint8_t function, int count) {
    const uint8_t* pdu = reply->data;
    if (reply->address[0] != Drop(link))
        return SetLinkError(link, "Read reply had wrong drop"), false;
    if (pdu[0] & 0x80) return SetModbusExceptionText(link, pdu[1]), false;
    if (pdu[0] != function) return SetLinkError(link, "Read reply had wrong opcode"), false;
    if (pdu[1] != 2 * count) {
        SetLinkError(link, "Reply length %u doesn't match query %u", pdu[1], unsigned(count));
        return false;
    }
    if (reply->length != pdu[1] + 2) return SetLinkError(link, "Read reply was wrong size"), false;
    return true;
}

bool CheckWriteReply(Link* link, const Packet* reply, uint8_t function, int length) {
    if (reply->length != length) return SetLinkError(link, "Write reply was wrong size"), false;
    if (reply->address[0] != Drop(link))
        return SetLinkError(link, "Write reply had wrong drop"), false;
    if (reply->data[0] & 0x80) return SetModbusExceptionText(link, reply->data[1]), false;
    if (reply->data[0] != function)
        return SetLinkError(link, "Write reply had wrong opcode"), false;
    return true;
}

int WriteExchange(Link* link, Packet* packet, uint8_t function, int replyLength, int count) {
    Packet* reply = Exchange(link, packet, "No reply to write command");
    if (!reply) return 0;
    bool ok = CheckWriteReply(link, reply, function, replyLength);
    ReturnFreePacket(reply);
    return ok ? count : 0;
}

}  // namespace

int ModbusRead(Link* link, int reg, int count, uint16_t* values, uint8_t function) {
    if (count == 0) return 0;
    Packet* packet = TakeRequestPacket(link);
    if (!packet) return 0;
    packet->data[0] = function;
    PutWord(packet->data + 1, static_cast<unsigned>(reg - 1));
    PutWord(packet->data + 3, static_cast<unsigned>(count));
    packet->length = 5;
    Packet* reply = Exchange(link, packet, "No reply to read command");
    if (!reply) return 0;
    bool ok = CheckReadReply(link, reply, function, count);
    for (int i = 0; ok && i < count; ++i)
        values[i] = static_cast<uint16_t>(reply->data[2 + 2 * i] << 8 | reply->data[3 + 2 * i]);
    ReturnFreePacket(reply);
    return ok ? count : 0;
}

int ModbusHoldingRead(Link* link, int reg, int count, uint16_t* values) {
    return ModbusRead(link, reg, count, values, 0x03);
}

int ModbusInputRead(Link* link, int reg, int count, uint16_t* values) {
    return ModbusRead(link, reg, count, values, 0x04);
}

int ModbusWrite(Link* link, int reg, int count, const uint16_t* values) {
    if (count == 0) return 0;
    if (count > kMaxWrite16) return SetLinkError(link, "Illegal write count"), 0;
    Packet* packet = TakeRequestPacket(link);
    if (!packet) return 0;
    uint8_t* pdu = packet->data;
    pdu[0] = 0x10;
    PutWord(pdu + 1, static_cast<unsigned>(reg - 1));
    PutWord(pdu + 3, static_cast<unsigned>(count));
    pdu[5] = static_cast<uint8_t>(2 * count);
    for (int i = 0; i < count; ++i) PutWord(pdu + 6 + 2 * i, values[i]);
    packet->length = static_cast<uint16_t>(6 + 2 * count);
    return WriteExchange(link, packet, 0x10, 5, count);
}

int ModbusGeneralReferenceWrite(Link* link, int reg, int count, const uint16_t* values) {
    if (count == 0) return 0;
    if (count > kMaxWrite21) return SetLinkError(link, "Illegal write count"), 0;
    Packet* packet = TakeRequestPacket(link);
    if (!packet) return 0;
    uint8_t* pdu = packet->data;
    pdu[0] = 0x15;
    pdu[1] = static_cast<uint8_t>(7 + 2 * count);
    pdu[2] = 3;
    PutWord(pdu + 3, 0);
    PutWord(pdu + 5, static_cast<unsigned>(reg - 1));
    PutWord(pdu + 7, static_cast<unsigned>(count));
    for (int i = 0; i < count; ++i) PutWord(pdu + 9 + 2 * i, values[i]);
    int length = 9 + 2 * count;
    packet->length = static_cast<uint16_t>(length);
    return WriteExchange(link, packet, 0x15, length, count);
}
