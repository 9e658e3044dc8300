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

bool CrcMode(const Link* link) { return link->lineFlags & LineCrcMode; }

void AddToCheck(Link* link, uint8_t byte) {
    link->transmitChecksum = ChecksumStep(link->transmitChecksum, byte, CrcMode(link));
}

int LineControlByte(Link* link) {
    uint16_t& flags = link->lineFlags;
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
    link->lineFlags |= LineInFrame;
    return byte;
}

int RouteByte(Link* link) {
    const uint8_t* end = link->transmitPacket->address + kPacketAddressSize;
    uint8_t c = link->readPosition < end ? *link->readPosition++ : 0xFF;
    if (c == 0xFF) {
        AddToCheck(link, DLE);
        link->transmitState = TxStx;
        return SendInPair(link, DLE);
    }
    AddToCheck(link, c);
    return c;
}

int DataByte(Link* link) {
    if (link->bytesLeft == 0) {
        AddToCheck(link, DLE);
        link->transmitState = TxEtx;
        return SendInPair(link, DLE);
    }
    uint8_t b = *link->readPosition++;
    --link->bytesLeft;
    if (b == DLE) {
        link->lineFlags |= LineSendDle;
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
        link->lineFlags |= LineSendEnq;
        SyMax(link).fillCount = kFillsPerInquiry;
        return DLE;
    }
    return GiveUpFrame(link);
}

int FrameByte(Link* link) {
    switch (link->transmitState) {
        case TxIdle:
            link->transmitPacket = RemovePacket(link->transmitQueue);
            if (!link->transmitPacket) return kNothing;
            SyMax(link).retryCount = kRetries;
            [[fallthrough]];
        case TxStart:
            link->transmitChecksum = CrcMode(link) ? kCrcStart : 0;
            link->transmitState = TxSoh;
            return SendInPair(link, DLE);
        case TxSoh:
            link->transmitState = TxTag;
            return SOH;
        case TxTag:
            link->readPosition = link->transmitPacket->address;
            link->transmitState = TxRoute;
            AddToCheck(link, SyMax(link).nextTag);
            return SyMax(link).nextTag;
        case TxRoute:
            return RouteByte(link);
        case TxStx:
            link->readPosition = link->transmitPacket->data;
            link->bytesLeft = link->transmitPacket->length;
            link->transmitState = TxData;
            AddToCheck(link, STX);
            return STX;
        case TxData:
            return DataByte(link);
        case TxEtx:
            AddToCheck(link, ETX);
            link->transmitState = CrcMode(link) ? TxCheckHigh : TxCheckLow;
            return SendInPair(link, ETX);
        case TxCheckHigh:
            link->transmitState = TxCheckLow;
            return SendInPair(link, static_cast<uint8_t>(link->transmitChecksum >> 8));
        case TxCheckLow:
            SyMax(link).inquiryCount = kInquiries;
            SyMax(link).fillCount = kFillsPerInquiry;
            link->transmitState = TxAwaitAck;
            return link->transmitChecksum & 0xFF;
        case TxAwaitAck:
            return AwaitingAckByte(link);
        default:
            link->transmitState = TxIdle;
            return kNothing;
    }
}

// The frame was never acknowledged; the request ends by its own timeout.
int GiveUpFrame(Link* link) {
    ReturnFreePacket(link, link->transmitPacket);
    link->transmitPacket = nullptr;
    link->transmitState = TxIdle;
    return FrameByte(link);
}

}  // namespace

int SyMaxNextTransmitByte(Link* link) {
    if (link->lineFlags & LineInFrame) {
        link->lineFlags &= ~LineInFrame;
        return FrameByte(link);
    }
    int control = LineControlByte(link);
    return control != kNothing ? control : FrameByte(link);
}
