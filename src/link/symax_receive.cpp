// The Sy/Max receiver: a plain function of the link state and one byte. DLE
// pairs outside a frame are link control (acknowledge, NAK, inquiry, busy);
// a frame is DLE SOH tag route DLE STX data DLE ETX check.
#include "link/checksum.h"
#include "link/link_state.h"
#include "link/symax_codes.h"
#include "link/symax_protocol.h"
#include "link/symax_state.h"

using namespace symax;

namespace {

bool CrcMode(const Link* link) { return link->framing->lineFlags & LineCrcMode; }

void AddToCheck(Link* link, uint8_t byte) {
    link->framing->receiveChecksum =
        ChecksumStep(link->framing->receiveChecksum, byte, CrcMode(link));
}

void AbortFrame(Link* link) {
    SyMax(link).controlReply = NAK;
    link->framing->lineFlags |= LineSendDleReply;
    ReturnFreePacket(link, link->framing->receivePacket);
    link->framing->receivePacket = nullptr;
    link->framing->receiveState = RxIdle;
    KickTransmitter(link);
}

void FrameRefused(Link* link) {
    if (link->framing->transmitState == TxIdle) return;
    if (SyMax(link).retryCount > 0) {
        --SyMax(link).retryCount;
        link->framing->transmitState = TxStart;
    } else {
        ReturnFreePacket(link, link->framing->transmitPacket);
        link->framing->transmitPacket = nullptr;
        link->framing->transmitState = TxIdle;
    }
    KickTransmitter(link);
}

void Acknowledge(Link* link, uint8_t tag) {
    if (link->framing->transmitState != TxAwaitAck) return;
    if (tag != SyMax(link).nextTag) {
        FrameRefused(link);
        return;
    }
    ReturnFreePacket(link, link->framing->transmitPacket);
    link->framing->transmitPacket = nullptr;
    link->framing->transmitState = TxIdle;
    SyMax(link).nextTag = SyMax(link).nextTag == DC1 ? DC2 : DC1;
    KickTransmitter(link);
}

// Handles DLE b; returns false when b belongs to the frame state machine.
bool HandleControlPair(Link* link, uint8_t b) {
    switch (b) {
        case SOH:
            ReturnFreePacket(link, link->framing->receivePacket);
            link->framing->receivePacket = nullptr;
            link->framing->receiveState = RxIdle;
            return false;
        case ENQ:
            link->framing->lineFlags |= LineSendDleReply;
            KickTransmitter(link);
            return true;
        case DC1:
        case DC2:
            Acknowledge(link, b);
            return true;
        case NAK:
            FrameRefused(link);
            return true;
        case SYN:
            SyMax(link).retryCount = kRetries;
            Acknowledge(link, b);
            return true;
        default:
            return false;
    }
}

void StartFrame(Link* link) {
    Packet* packet = TakeFreePacket(link);
    if (!packet) {
        link->framing->lineFlags |= LineSendDleSyn;
        KickTransmitter(link);
        return;
    }
    link->framing->receivePacket = packet;
    link->framing->receiveChecksum = CrcMode(link) ? kCrcStart : 0;
    link->framing->receiveState = RxTag;
}

void FrameComplete(Link* link) {
    Packet* packet = link->framing->receivePacket;
    link->framing->receivePacket = nullptr;
    packet->length = static_cast<uint16_t>(kPacketDataSize - link->framing->roomLeft);
    if (packet->data[1] == SyMax(link).expectedTransaction)
        QueueReply(link, packet);
    else
        ReturnFreePacket(link, packet);
    SyMax(link).controlReply = link->framing->frameTag;
    link->framing->lineFlags |= LineSendDleReply;
    link->framing->receiveState = RxIdle;
    KickTransmitter(link);
}

void StoreByte(Link* link, uint8_t b) {
    *link->framing->writePosition++ = b;
    --link->framing->roomLeft;
}

void OnRoute(Link* link, uint8_t b, bool afterDle) {
    if (!afterDle) {
        if (link->framing->roomLeft == 0) return AbortFrame(link);
        StoreByte(link, b);
        return AddToCheck(link, b);
    }
    if (b != STX) return AbortFrame(link);
    AddToCheck(link, DLE);
    AddToCheck(link, STX);
    link->framing->writePosition[0] = 0xFF;
    link->framing->writePosition[1] = 0xFF;
    link->framing->writePosition = link->framing->receivePacket->data;
    link->framing->roomLeft = kPacketDataSize;
    link->framing->receiveState = RxData;
}

void OnData(Link* link, uint8_t b, bool afterDle) {
    if (afterDle && b == ETX) {
        AddToCheck(link, DLE);
        AddToCheck(link, ETX);
        link->framing->receiveState = CrcMode(link) ? RxCheckHigh : RxCheck;
        link->framing->receiveFlags |= RxTakeRaw;
        return;
    }
    if (afterDle && b != DLE) return AbortFrame(link);
    if (link->framing->roomLeft == 0) return AbortFrame(link);
    AddToCheck(link, b);
    if (afterDle) AddToCheck(link, DLE);
    StoreByte(link, b);
}

void ActOnState(Link* link, uint8_t b, bool afterDle) {
    switch (link->framing->receiveState) {
        case RxIdle:
            if (afterDle && b == SOH) StartFrame(link);
            return;
        case RxTag:
            if (afterDle || (b != DC1 && b != DC2)) return AbortFrame(link);
            link->framing->frameTag = b;
            AddToCheck(link, b);
            link->framing->writePosition = link->framing->receivePacket->address;
            link->framing->roomLeft = kMaxRouteChars;
            link->framing->receiveState = RxRoute;
            return;
        case RxRoute:
            return OnRoute(link, b, afterDle);
        case RxData:
            return OnData(link, b, afterDle);
        case RxCheckHigh:
            if (afterDle || b != (link->framing->receiveChecksum >> 8)) return AbortFrame(link);
            link->framing->receiveFlags |= RxTakeRaw;
            link->framing->receiveState = RxCheck;
            return;
        case RxCheck:
            if (afterDle || b != (link->framing->receiveChecksum & 0xFF)) return AbortFrame(link);
            return FrameComplete(link);
        default:
            return AbortFrame(link);
    }
}

}  // namespace

void SyMaxReceiveByte(Link* link, uint8_t b) {
    bool afterDle = false;
    if (link->framing->receiveFlags & RxAfterDle) {
        link->framing->receiveFlags &= ~RxAfterDle;
        if (HandleControlPair(link, b)) return;
        afterDle = true;
    } else if (link->framing->receiveFlags & RxTakeRaw) {
        link->framing->receiveFlags &= ~RxTakeRaw;
    } else if (b == DLE) {
        link->framing->receiveFlags |= RxAfterDle;
        return;
    }
    ActOnState(link, b, afterDle);
}
