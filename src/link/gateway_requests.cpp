// Gateway register requests: the route is set first when it changed, then
// one "R" or "W" command awaits its answer line. Any doubt about what the
// gateway did (no answer, an error line) forgets the route, so the next
// command sets it again.
#include <cstring>

#include "link/gateway_protocol.h"
#include "link/link_backend.h"
#include "link/link_state.h"

namespace {

constexpr int kLastRegister = 8192;
constexpr uint16_t kRouteUnknown = 0xFFFF;

bool SameRoute(const LinkRoute& a, const LinkRoute& b) {
    return a.count == b.count && memcmp(a.entries, b.entries, sizeof a.entries) == 0;
}

// The route the gateway was last given: an "A" command goes out only when
// the link's route differs from it. An opened link starts from none known.
struct GatewayState : ProtocolState {
    LinkRoute lastRouteSent;
};

LinkRoute& LastRouteSent(Link* link) {
    return static_cast<GatewayState&>(*link->protocol).lastRouteSent;
}

void ForgetRoute(Link* link) { LastRouteSent(link).count = kRouteUnknown; }

std::unique_ptr<ProtocolState> NewGatewayState() { return std::make_unique<GatewayState>(); }

Packet* TakeRequestPacket(Link* link) {
    if (!BeginSerialRequest(link)) return nullptr;
    Packet* packet = TakeFreePacket(link);
    if (!packet) {
        SetLinkError(link, LinkFailure::BufferShortage, "Buffer shortage, try again");
        ResetQueues(link);
    }
    return packet;
}

// Lines left from an earlier command (the LF of a CR LF pair, an answer that
// came after its wait ended) must not be taken for this command's answer.
void SendCommand(Link* link, Packet* packet, const char* timeoutText) {
    {
        std::lock_guard<std::recursive_mutex> guard(link->lock);
        link->framing->awaitingReply = 1;
        while (Packet* stale = RemovePacket(link->replyQueue)) ReturnFreePacket(link, stale);
    }
    SetLinkError(link, LinkFailure::NoReply, "%s", timeoutText);
    StartRequestDeadline(link);
    SendPacket(link, packet);
}

void EndCommand(Link* link, const Packet* reply) { EndSerialRequest(link, reply != nullptr); }

// Waits for a line holding only CR; other lines are dropped and restart the
// wait, but not the command's deadline: a gateway that sends error lines
// without end cannot hold the command. *otherLines tells whether there were
// any. Null when none came.
Packet* AwaitAcknowledge(Link* link, bool* otherLines) {
    *otherLines = false;
    while (Packet* line = WaitForReply(link, link->replyTimeout)) {
        if (IsAcknowledgeLine(line)) return line;
        *otherLines = true;
        ReturnFreePacket(link, line);
    }
    return nullptr;
}

void SetCommand(Packet* packet, int length) { packet->length = static_cast<uint16_t>(length); }

}  // namespace

int GatewaySetRoute(Link* link, Packet*& packet) {
    if (SameRoute(LastRouteSent(link), link->route)) return 1;
    LastRouteSent(link) = link->route;
    SetCommand(packet, FormatRouteCommand(link->route, reinterpret_cast<char*>(packet->data),
                                          kPacketDataSize));
    SendCommand(link, packet, "No valid reply to A command");
    bool otherLines;
    Packet* reply = AwaitAcknowledge(link, &otherLines);
    EndCommand(link, reply);
    if (!reply) {
        // The gateway may not have taken the route: never assume it did.
        ForgetRoute(link);
        return 0;
    }
    packet = reply;
    return 1;
}

int GatewayRead(Link* link, int reg, int count, uint16_t* values) {
    if (count == 0) return 0;
    if (reg + count - 1 > kLastRegister)
        return SetLinkError(link, LinkFailure::NotPossible, "Gateway can't read status portion"), 0;
    Packet* packet = TakeRequestPacket(link);
    if (!packet || !GatewaySetRoute(link, packet)) return 0;
    SetCommand(packet, FormatReadCommand(reg, count, reinterpret_cast<char*>(packet->data),
                                         kPacketDataSize));
    SendCommand(link, packet, "No reply to R command");
    Packet* reply = WaitForFittingReply(link, [&](const Packet* line) {
        if (line->length <= 1) return false;  // a bare line end: the LF of a CR LF pair
        switch (ReadGatewayReply(line->data, line->length, count, values)) {
            case GatewayReply::Values:
                return true;
            case GatewayReply::TooMany:
                SetLinkError(link, LinkFailure::StrayReply, "Read reply too long");
                return false;
            default:
                SetLinkError(link, LinkFailure::StrayReply, "Read reply too short");
                return false;
        }
    });
    EndCommand(link, reply);
    if (!reply) return ForgetRoute(link), 0;
    ReturnFreePacket(link, reply);
    return count;
}

int GatewayWrite(Link* link, int reg, int count, const uint16_t* values) {
    if (reg + count - 1 > kLastRegister)
        return SetLinkError(link, LinkFailure::NotPossible, "Gateway can't write status portion"),
               0;
    // Values that do not fit in one command line go out in further commands.
    for (int done = 0; done < count;) {
        Packet* packet = TakeRequestPacket(link);
        if (!packet || !GatewaySetRoute(link, packet)) return 0;
        int formatted = 0;
        SetCommand(packet, FormatWriteCommand(reg + done, values + done, count - done,
                                              reinterpret_cast<char*>(packet->data),
                                              kPacketDataSize, &formatted));
        SendCommand(link, packet, "No valid reply to W command");
        bool otherLines;
        Packet* reply = AwaitAcknowledge(link, &otherLines);
        EndCommand(link, reply);
        if (otherLines || !reply) ForgetRoute(link);
        if (!reply) return 0;
        ReturnFreePacket(link, reply);
        done += formatted;
    }
    return count;
}

LinkHandle OpenGatewayLink(const char* portName, const LinkRoute& route, std::string* reason) {
    LinkHandle link = OpenSerialLinkAs(portName, 0, route, LinkGateway, reason);
    if (link) ForgetRoute(link.get());
    return link;
}

namespace {

// A line cut off before its end (garbage from a confused peer) is dropped;
// the answer to the next command starts a line of its own.
void GatewayDiscardStale(Link* link) {
    ReturnFreePacket(link, link->framing->receivePacket);
    link->framing->receivePacket = nullptr;
    link->framing->receiveState = 0;
}

}  // namespace

extern const LinkBackend kGatewayBackend = {
    LinkGateway,
    GatewayReceiveByte,
    GatewayNextTransmitByte,
    nullptr,
    GatewayRead,
    GatewayWrite,
    nullptr,
    nullptr,
    nullptr,
    GatewayDiscardStale,
    true,
    false,
    "Gateway",
    NewGatewayState,
};
