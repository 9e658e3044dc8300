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

bool CrcMode(const Link* link) { return link->lineFlags & LineCrcMode; }

void AddToCheck(Link* link, uint8_t byte) {
    link->receiveChecksum = ChecksumStep(link->receiveChecksum, byte, CrcMode(link));
}

void AbortFrame(Link* link) {
    SyMax(link).controlReply = NAK;
    link->lineFlags |= LineSendDleReply;
    ReturnFreePacket(link, link->receivePacket);
    link->receivePacket = nullptr;
    link->receiveState = RxIdle;
    KickTransmitter(link);
}

void FrameRefused(Link* link) {
    if (link->transmitState == TxIdle) return;
    if (SyMax(link).retryCount > 0) {
        --SyMax(link).retryCount;
        link->transmitState = TxStart;
    } else {
        ReturnFreePacket(link, link->transmitPacket);
        link->transmitPacket = nullptr;
        link->transmitState = TxIdle;
    }
    KickTransmitter(link);
}

void Acknowledge(Link* link, uint8_t tag) {
    if (link->transmitState != TxAwaitAck) return;
    if (tag != SyMax(link).nextTag) {
        FrameRefused(link);
        return;
    }
    ReturnFreePacket(link, link->transmitPacket);
    link->transmitPacket = nullptr;
    link->transmitState = TxIdle;
    SyMax(link).nextTag = SyMax(link).nextTag == DC1 ? DC2 : DC1;
    KickTransmitter(link);
}

// Handles DLE b; returns false when b belongs to the frame state machine.
bool HandleControlPair(Link* link, uint8_t b) {
    switch (b) {
        case SOH:
            ReturnFreePacket(link, link->receivePacket);
            link->receivePacket = nullptr;
            link->receiveState = RxIdle;
            return false;
        case ENQ:
            link->lineFlags |= LineSendDleReply;
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
        link->lineFlags |= LineSendDleSyn;
        KickTransmitter(link);
        return;
    }
    link->receivePacket = packet;
    link->receiveChecksum = CrcMode(link) ? kCrcStart : 0;
    link->receiveState = RxTag;
}

void FrameComplete(Link* link) {
    Packet* packet = link->receivePacket;
    link->receivePacket = nullptr;
    packet->length = static_cast<uint16_t>(kPacketDataSize - link->roomLeft);
    if (packet->data[1] == SyMax(link).expectedTransaction)
        QueueReply(link, packet);
    else
        ReturnFreePacket(link, packet);
    SyMax(link).controlReply = link->frameTag;
    link->lineFlags |= LineSendDleReply;
    link->receiveState = RxIdle;
    KickTransmitter(link);
}

void StoreByte(Link* link, uint8_t b) {
    *link->writePosition++ = b;
    --link->roomLeft;
}

void OnRoute(Link* link, uint8_t b, bool afterDle) {
    if (!afterDle) {
        if (link->roomLeft == 0) return AbortFrame(link);
        StoreByte(link, b);
        return AddToCheck(link, b);
    }
    if (b != STX) return AbortFrame(link);
    AddToCheck(link, DLE);
    AddToCheck(link, STX);
    link->writePosition[0] = 0xFF;
    link->writePosition[1] = 0xFF;
    link->writePosition = link->receivePacket->data;
    link->roomLeft = kPacketDataSize;
    link->receiveState = RxData;
}

void OnData(Link* link, uint8_t b, bool afterDle) {
    if (afterDle && b == ETX) {
        AddToCheck(link, DLE);
        AddToCheck(link, ETX);
        link->receiveState = CrcMode(link) ? RxCheckHigh : RxCheck;
        link->receiveFlags |= RxTakeRaw;
        return;
    }
    if (afterDle && b != DLE) return AbortFrame(link);
    if (link->roomLeft == 0) return AbortFrame(link);
    AddToCheck(link, b);
    if (afterDle) AddToCheck(link, DLE);
    StoreByte(link, b);
}

void ActOnState(Link* link, uint8_t b, bool afterDle) {
    switch (link->receiveState) {
        case RxIdle:
            if (afterDle && b == SOH) StartFrame(link);
            return;
        case RxTag:
            if (afterDle || (b != DC1 && b != DC2)) return AbortFrame(link);
            link->frameTag = b;
            AddToCheck(link, b);
            link->writePosition = link->receivePacket->address;
            link->roomLeft = kMaxRouteChars;
            link->receiveState = RxRoute;
            return;
        case RxRoute:
            return OnRoute(link, b, afterDle);
        case RxData:
            return OnData(link, b, afterDle);
        case RxCheckHigh:
            if (afterDle || b != (link->receiveChecksum >> 8)) return AbortFrame(link);
            link->receiveFlags |= RxTakeRaw;
            link->receiveState = RxCheck;
            return;
        case RxCheck:
            if (afterDle || b != (link->receiveChecksum & 0xFF)) return AbortFrame(link);
            return FrameComplete(link);
        default:
            return AbortFrame(link);
    }
}

}  // namespace

void SyMaxReceiveByte(Link* link, uint8_t b) {
    bool afterDle = false;
    if (link->receiveFlags & RxAfterDle) {
        link->receiveFlags &= ~RxAfterDle;
        if (HandleControlPair(link, b)) return;
        afterDle = true;
    } else if (link->receiveFlags & RxTakeRaw) {
        link->receiveFlags &= ~RxTakeRaw;
    } else if (b == DLE) {
        link->receiveFlags |= RxAfterDle;
        return;
    }
    ActOnState(link, b, afterDle);
}
