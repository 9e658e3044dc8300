// Sy/Max register requests: read (opcode 0x00, priority 0x20), write (0x02,
// priority 0x1E) and the input-register read carried as a Modbus function 4
// request, with the checks of their replies.
#include <algorithm>

#include "link/link_backend.h"
#include "link/link_errors.h"
#include "link/link_state.h"
#include "link/symax_codes.h"
#include "link/symax_protocol.h"
#include "link/symax_route.h"
#include "link/symax_state.h"

using namespace symax;

namespace {

constexpr uint8_t kInputReadTransaction = 0xBA;

// Clears stale replies so a late answer to an earlier request is never taken
// for this one, then takes the request's packet.
Packet* PrepareRequest(Link* link) {
    if (!BeginSerialRequest(link)) return nullptr;
    Packet* packet = TakeFreePacket(link);
    if (!packet) {
        SetLinkError(link, LinkFailure::BufferShortage, "Buffer shortage, try again");
        ResetQueues(link);
    }
    return packet;
}

uint8_t NextTransactionNumber(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    uint8_t number = static_cast<uint8_t>(link->transactionCounter++);
    return SyMax(link).priorityOpcodes ? number & 0x3F : number;
}

bool Priority(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    return SyMax(link).priorityOpcodes;
}

// Sends the request and waits; timeoutText (when given) stands if no reply comes.
Packet* Exchange(Link* link, Packet* packet, uint8_t transaction, const char* timeoutText) {
    {
        std::lock_guard<std::recursive_mutex> guard(link->lock);
        if (link->netToNet) link->route.entries[1] |= 0x8000;
        EncodeRoute(packet, link->route);
        link->framing->awaitingReply = 1;
        SyMax(link).expectedTransaction = transaction;
    }
    StartRequestDeadline(link);
    SendPacket(link, packet);
    if (timeoutText) SetLinkError(link, LinkFailure::NoReply, "%s", timeoutText);
    // A frame for another route or transaction (a late reply to a request
    // that gave up) answers something else: it is dropped, and the wait for
    // this request's own reply goes on.
    Packet* reply = WaitForFittingReply(link, [transaction](const Packet* r) {
        return r->length >= 2 && CheckReplyRoute(r) && r->data[1] == transaction;
    });
    EndSerialRequest(link, reply != nullptr);
    return reply;
}

void PutWord(uint8_t* at, unsigned value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

int CopyWords(const Packet* reply, int offset, int count, uint16_t* values) {
    int available = reply->length > offset ? (reply->length - offset) / 2 : 0;
    int n = std::min(available, count);
    for (int i = 0; i < n; ++i)
        values[i] = static_cast<uint16_t>(reply->data[offset + 2 * i] << 8 |
                                          reply->data[offset + 2 * i + 1]);
    return n;
}

int CheckReadReply(Link* link, const Packet* reply, uint8_t transaction, int count,
                   uint16_t* values) {
    if (!CheckReplyRoute(reply))
        return SetLinkError(link, LinkFailure::StrayReply, "Bad Reply Route"), 0;
    if (reply->data[1] != transaction)
        return SetLinkError(link, LinkFailure::StrayReply, "Bad transnum on reply"), 0;
    switch (reply->data[0]) {
        case 0x86:
            return CopyWords(reply, 4, count, values);
        case 0x90:
            if (reply->data[4] != 0) return SetSyMaxErrorText(link, reply->data[4]), 0;
            return CopyWords(reply, 7, count, values);
        case 0xA2:
            return SetSyMaxErrorText(link, reply->data[2]), 0;
        default:
            SetLinkError(link, LinkFailure::StrayReply, "Can't deal with Reply Opcode 0x%02X.",
                         reply->data[0]);
            return 0;
    }
}

bool CheckWriteReply(Link* link, const Packet* reply, uint8_t transaction) {
    if (!CheckReplyRoute(reply) || reply->data[1] != transaction)
        return SetLinkError(link, LinkFailure::StrayReply, "Write reply invalid"), false;
    switch (reply->data[0]) {
        case 0x80:
            return true;
        case 0x92:
            if (reply->data[4] == 0) return true;
            return SetSyMaxErrorText(link, reply->data[4]), false;
        case 0xA2:
            return SetSyMaxErrorText(link, reply->data[2]), false;
        default:
            return SetLinkError(link, LinkFailure::StrayReply, "Write reply invalid"), false;
    }
}

int CheckInputReadReply(Link* link, const Packet* reply, int count, uint16_t* values) {
    if (!CheckReplyRoute(reply) || reply->data[1] != kInputReadTransaction ||
        reply->data[0] != 0x92)
        return SetLinkError(link, LinkFailure::StrayReply, "Read reply invalid"), 0;
    // A data reply holds at least one register after its six header bytes;
    // an exception reply is those six bytes alone.
    if (reply->length > 6) {
        int n = std::min((reply->length - 5) / 2, count);
        return CopyWords(reply, 6, n, values);
    }
    if (reply->data[4] & 0x80)
        SetModbusExceptionText(link, reply->data[5]);
    else
        SetSyMaxErrorText(link, reply->data[5]);
    return 0;
}

}  // namespace

int SyMaxRead(Link* link, int reg, int count, uint16_t* values) {
    if (count == 0) return 0;
    Packet* packet = PrepareRequest(link);
    if (!packet) return 0;
    uint8_t transaction = NextTransactionNumber(link);
    unsigned offset = static_cast<unsigned>(reg - 1) * 2;
    uint8_t* d = packet->data;
    if (Priority(link)) {
        const uint8_t head[] = {0x20, transaction, 0, 0, 0};
        std::copy(head, head + 5, d);
        PutWord(d + 5, offset);
        d[7] = 0;
        d[8] = static_cast<uint8_t>(count - 1);
        packet->length = 9;
    } else {
        d[0] = 0x00;
        d[1] = transaction;
        PutWord(d + 2, offset);
        d[4] = 0;
        d[5] = static_cast<uint8_t>(count - 1);
        packet->length = 6;
    }
    Packet* reply = Exchange(link, packet, transaction, "Read reply timeout");
    if (!reply) return 0;
    int stored = CheckReadReply(link, reply, transaction, count, values);
    ReturnFreePacket(link, reply);
    return stored;
}

int SyMaxWrite(Link* link, int reg, int count, const uint16_t* values) {
    if (count == 0) return 0;
    Packet* packet = PrepareRequest(link);
    if (!packet) return 0;
    uint8_t transaction = NextTransactionNumber(link);
    unsigned offset = static_cast<unsigned>(reg - 1) * 2;
    uint8_t* d = packet->data;
    bool priority = Priority(link);
    d[0] = priority ? 0x1E : 0x02;
    d[1] = transaction;
    uint8_t* words = d + 2;
    if (priority) *words++ = 0;
    PutWord(words, offset);
    words += 2;
    for (int i = 0; i < count; ++i) PutWord(words + 2 * i, values[i]);
    packet->length = static_cast<uint16_t>((priority ? 5 : 6) + 2 * count);
    if (!priority) words[2 * count] = words[2 * count + 1] = 0xFF;
    Packet* reply = Exchange(link, packet, transaction, nullptr);
    if (!reply) return SetLinkError(link, LinkFailure::NoReply, "Write reply timeout"), 0;
    bool ok = CheckWriteReply(link, reply, transaction);
    ReturnFreePacket(link, reply);
    return ok ? count : 0;
}

int SyMaxInputRead(Link* link, int reg, int count, uint16_t* values) {
    Packet* packet = PrepareRequest(link);
    if (!packet) return 0;
    unsigned start = static_cast<unsigned>(reg - 1);
    const uint8_t head[] = {0x22, kInputReadTransaction, 0xD5, 0x00, 0x04};
    std::copy(head, head + 5, packet->data);
    PutWord(packet->data + 5, start);
    PutWord(packet->data + 7, static_cast<unsigned>(count));
    packet->length = 9;
    Packet* reply = Exchange(link, packet, kInputReadTransaction, "Read reply timeout");
    if (!reply) return 0;
    int stored = CheckInputReadReply(link, reply, count, values);
    ReturnFreePacket(link, reply);
    return stored;
}

namespace {

// A half-received frame is dropped (the peer sees no acknowledge and sends it
// again if it still means it). A frame of an earlier request that is still
// waiting for its acknowledge is given up as if its inquiries had run out:
// its caller has gone, and the new request must not wait behind it.
void SyMaxDiscardStale(Link* link) {
    ReturnFreePacket(link, link->framing->receivePacket);
    link->framing->receivePacket = nullptr;
    link->framing->receiveState = RxIdle;
    link->framing->receiveFlags = 0;
    if (link->framing->transmitState != TxAwaitAck) return;
    ReturnFreePacket(link, link->framing->transmitPacket);
    link->framing->transmitPacket = nullptr;
    link->framing->transmitState = TxIdle;
}

}  // namespace

extern const LinkBackend kSyMaxBackend = {
    LinkSyMax,
    SyMaxReceiveByte,
    SyMaxNextTransmitByte,
    nullptr,
    SyMaxRead,
    SyMaxWrite,
    SyMaxInputRead,
    nullptr,
    nullptr,
    SyMaxDiscardStale,
    false,
    true,
    "Sy/Max",
    NewSyMaxState,
};

std::unique_ptr<ProtocolState> NewSyMaxState() { return std::make_unique<SyMaxState>(); }

// Any kind takes the options (a setup applies them whatever its kind); only
// Sy/Max reads them.
int SetSyMaxOptions(Link* link, int crc, int priority) {
    if (!LinkIsValid(link)) return 0;
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    if (SerialFraming* framing = link->framing.get()) {  // none on a link without a line
        if (crc)
            framing->lineFlags |= LineCrcMode;
        else
            framing->lineFlags &= ~LineCrcMode;
    }
    if (link->backend == &kSyMaxBackend) SyMax(link).priorityOpcodes = priority ? 1 : 0;
    return 1;
}
