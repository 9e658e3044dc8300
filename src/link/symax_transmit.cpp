// The Sy/Max transmitter: produces one byte per call. Pending link control
// (stuffing DLE, inquiry, acknowledge, busy) goes before the frame, except
// inside a DLE pair of the frame itself. While awaiting the acknowledge it
// sends fill bytes, an inquiry after every ten, and gives up after 32.
#include "link/checksum.h"
#include "link/link_state.h"
#include "link/symax_codes.h"
#include "link/symax_protocol.h"
#include "link/symax_state.h"

using namespace symax;

namespace {

constexpr int kNothing = 256;

bool CrcMode(const Link* link) { return link->framing->lineFlags & LineCrcMode; }

void AddToCheck(Link* link, uint8_t byte) {
    link->framing->transmitChecksum =
        ChecksumStep(link->framing->transmitChecksum, byte, CrcMode(link));
}

int LineControlByte(Link* link) {
    uint16_t& flags = link->framing->lineFlags;
    if (flags & LineSendEnq) return flags &= ~LineSendEnq, ENQ;
    if (flags & LineSendDle) return flags &= ~LineSendDle, DLE;
    if (flags & LineSendReply) return flags &= ~LineSendReply, SyMax(link).controlReply;
    if (flags & LineSendSyn) return flags &= ~LineSendSyn, SYN;
    if (flags & LineSendDleReply) {
        flags = static_cast<uint16_t>((flags & ~LineSendDleReply) | LineSendReply);
        return DLE;
    }
    if (flags & LineSendDleSyn) {
        flags = static_cast<uint16_t>((flags & ~LineSendDleSyn) | LineSendSyn);
        return DLE;
    }
    return kNothing;
}

int SendInPair(Link* link, uint8_t byte) {
    link->framing->lineFlags |= LineInFrame;
    return byte;
}

int RouteByte(Link* link) {
    const uint8_t* end = link->framing->transmitPacket->address + kPacketAddressSize;
    uint8_t c = link->framing->readPosition < end ? *link->framing->readPosition++ : 0xFF;
    if (c == 0xFF) {
        AddToCheck(link, DLE);
        link->framing->transmitState = TxStx;
        return SendInPair(link, DLE);
    }
    AddToCheck(link, c);
    return c;
}

int DataByte(Link* link) {
    if (link->framing->bytesLeft == 0) {
        AddToCheck(link, DLE);
        link->framing->transmitState = TxEtx;
        return SendInPair(link, DLE);
    }
    uint8_t b = *link->framing->readPosition++;
    --link->framing->bytesLeft;
    if (b == DLE) {
        link->framing->lineFlags |= LineSendDle;
        AddToCheck(link, DLE);
    }
    AddToCheck(link, b);
    return b;
}

int GiveUpFrame(Link* link);

int AwaitingAckByte(Link* link) {
    if (SyMax(link).fillCount > 0) {
        --SyMax(link).fillCount;
        return FILL;
    }
    if (SyMax(link).inquiryCount > 0) {
        --SyMax(link).inquiryCount;
        link->framing->lineFlags |= LineSendEnq;
        SyMax(link).fillCount = kFillsPerInquiry;
        return DLE;
    }
    return GiveUpFrame(link);
}

int FrameByte(Link* link) {
    switch (link->framing->transmitState) {
        case TxIdle:
            link->framing->transmitPacket = RemovePacket(link->transmitQueue);
            if (!link->framing->transmitPacket) return kNothing;
            SyMax(link).retryCount = kRetries;
            [[fallthrough]];
        case TxStart:
            link->framing->transmitChecksum = CrcMode(link) ? kCrcStart : 0;
            link->framing->transmitState = TxSoh;
            return SendInPair(link, DLE);
        case TxSoh:
            link->framing->transmitState = TxTag;
            return SOH;
        case TxTag:
            link->framing->readPosition = link->framing->transmitPacket->address;
            link->framing->transmitState = TxRoute;
            AddToCheck(link, SyMax(link).nextTag);
            return SyMax(link).nextTag;
        case TxRoute:
            return RouteByte(link);
        case TxStx:
            link->framing->readPosition = link->framing->transmitPacket->data;
            link->framing->bytesLeft = link->framing->transmitPacket->length;
            link->framing->transmitState = TxData;
            AddToCheck(link, STX);
            return STX;
        case TxData:
            return DataByte(link);
        case TxEtx:
            AddToCheck(link, ETX);
            link->framing->transmitState = CrcMode(link) ? TxCheckHigh : TxCheckLow;
            return SendInPair(link, ETX);
        case TxCheckHigh:
            link->framing->transmitState = TxCheckLow;
            return SendInPair(link, static_cast<uint8_t>(link->framing->transmitChecksum >> 8));
        case TxCheckLow:
            SyMax(link).inquiryCount = kInquiries;
            SyMax(link).fillCount = kFillsPerInquiry;
            link->framing->transmitState = TxAwaitAck;
            return link->framing->transmitChecksum & 0xFF;
        case TxAwaitAck:
            return AwaitingAckByte(link);
        default:
            link->framing->transmitState = TxIdle;
            return kNothing;
    }
}

// The frame was never acknowledged; the request ends by its own timeout.
int GiveUpFrame(Link* link) {
    ReturnFreePacket(link, link->framing->transmitPacket);
    link->framing->transmitPacket = nullptr;
    link->framing->transmitState = TxIdle;
    return FrameByte(link);
}

}  // namespace

int SyMaxNextTransmitByte(Link* link) {
    if (link->framing->lineFlags & LineInFrame) {
        link->framing->lineFlags &= ~LineInFrame;
        return FrameByte(link);
    }
    int control = LineControlByte(link);
    return control != kNothing ? control : FrameByte(link);
}
