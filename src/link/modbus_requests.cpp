// Modbus register requests over a serial link (RTU or ASCII framing): read
// holding or input registers (3, 4), write multiple registers (16) and write
// general reference (21). The PDUs and their checks are those of every
// Modbus link; here is the exchange over the reader thread's queues.
#include "link/link_errors.h"
#include "link/link_state.h"
#include "link/modbus_pdu.h"
#include "link/modbus_protocol.h"

namespace {

uint8_t Drop(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    return static_cast<uint8_t>(link->route.count);
}

Packet* TakeRequestPacket(Link* link) {
    if (!BeginSerialRequest(link)) return nullptr;
    Packet* packet = TakeFreePacket(link);
    if (!packet) {
        SetLinkError(link, LinkFailure::BufferShortage, "Buffer shortage, try again");
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
    SetLinkError(link, LinkFailure::DamagedReply, "%s",
                 link->kind == LinkModbusAscii ? "Reply failed its LRC check"
                                               : "Reply failed its CRC check");
}

// A frame that is no answer to this request (another drop's, another
// function's, a size that does not fit) is dropped and the wait goes on: on
// a line shared with other devices such frames are ordinary traffic, and a
// reply carries nothing else to tell whose it is. An exception from the drop
// asked, to the function asked, is the module's answer.
bool Fits(Link* link, const ModbusRequest& request, const Packet* reply) {
    char text[kLinkErrorSize];
    const char* fault = CheckModbusReplyPdu(request, reply->address[0], reply->data, reply->length,
                                            kSerialModbusReplies, text, sizeof text);
    if (!fault) return true;
    const bool exception = reply->length == 2 && reply->address[0] == request.unit &&
                           reply->data[0] == (request.function | 0x80);
    if (!exception) SetLinkError(link, LinkFailure::StrayReply, "%s", fault);
    return exception;
}

Packet* Exchange(Link* link, Packet* packet, const ModbusRequest& request,
                 const char* timeoutText) {
    {
        std::lock_guard<std::recursive_mutex> guard(link->lock);
        link->framing->awaitingReply = 1;
        link->damagedReply = false;
        while (Packet* stale = RemovePacket(link->replyQueue)) ReturnFreePacket(link, stale);
    }
    StartRequestDeadline(link);
    SendPacket(link, packet);
    SetLinkError(link, LinkFailure::NoReply, "%s", timeoutText);
    Packet* reply =
        WaitForFittingReply(link, [&](const Packet* r) { return Fits(link, request, r); });
    EndSerialRequest(link, reply != nullptr);
    if (!reply && link->failure == LinkFailure::NoReply) NameDamagedReply(link);
    return reply;
}

// The reply's check; the packet is given back whatever it says.
bool Answered(Link* link, const ModbusRequest& request, Packet* reply, uint16_t* values) {
    char text[kLinkErrorSize];
    LinkFailure failure;
    const char* fault = CheckModbusReplyPdu(request, reply->address[0], reply->data, reply->length,
                                            kSerialModbusReplies, text, sizeof text, &failure);
    if (fault)
        SetLinkError(link, failure, "%s", fault);
    else if (values)
        ModbusReplyValues(reply->data, request.count, values);
    ReturnFreePacket(link, reply);
    return fault == nullptr;
}

int Ask(Link* link, const ModbusRequest& request, const uint16_t* writeValues,
        uint16_t* readValues) {
    Packet* packet = TakeRequestPacket(link);
    if (!packet) return 0;
    const bool read = readValues != nullptr;
    packet->length =
        static_cast<uint16_t>(read ? BuildModbusReadPdu(request, packet->data)
                                   : BuildModbusWritePdu(request, writeValues, packet->data));
    Packet* reply = Exchange(link, packet, request,
                             read ? "No reply to read command" : "No reply to write command");
    if (!reply) return 0;
    return Answered(link, request, reply, readValues) ? request.count : 0;
}

ModbusRequest RequestOf(Link* link, uint8_t function, int reg, int count) {
    ModbusRequest request;
    request.unit = Drop(link);
    request.function = function;
    request.start = reg - 1;
    request.count = count;
    return request;
}

int Write(Link* link, int reg, int count, const uint16_t* values, uint8_t function, int most) {
    if (count == 0) return 0;
    if (count > most) return SetLinkError(link, LinkFailure::NotPossible, "Illegal write count"), 0;
    return Ask(link, RequestOf(link, function, reg, count), values, nullptr);
}

}  // namespace

int ModbusRead(Link* link, int reg, int count, uint16_t* values, uint8_t function) {
    if (count == 0) return 0;
    return Ask(link, RequestOf(link, function, reg, count), nullptr, values);
}

int ModbusHoldingRead(Link* link, int reg, int count, uint16_t* values) {
    return ModbusRead(link, reg, count, values, modbus::kReadHolding);
}

int ModbusInputRead(Link* link, int reg, int count, uint16_t* values) {
    return ModbusRead(link, reg, count, values, modbus::kReadInput);
}

int ModbusWrite(Link* link, int reg, int count, const uint16_t* values) {
    return Write(link, reg, count, values, modbus::kWriteMultiple, modbus::kMaxWrite16);
}

int ModbusGeneralReferenceWrite(Link* link, int reg, int count, const uint16_t* values) {
    return Write(link, reg, count, values, modbus::kWriteGeneralReference, modbus::kMaxWrite21);
}
