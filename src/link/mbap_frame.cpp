// Modbus TCP frame building and reply checking; numbers are high byte first.
#include "link/mbap_frame.h"

#include <cstring>

#include "link/modbus_pdu.h"

namespace {

void PutWord(uint8_t* at, unsigned value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

unsigned Word(const uint8_t* at) { return static_cast<unsigned>(at[0] << 8 | at[1]); }

ModbusRequest PduRequestOf(const MbapRequest& request, int start) {
    ModbusRequest pdu;
    pdu.unit = request.unit;
    pdu.function = request.function;
    pdu.start = start;
    pdu.count = request.count;
    return pdu;
}

// The header before a PDU of the length given: its length field counts the
// unit identifier and the PDU.
int Frame(const MbapRequest& request, int pduLength, uint8_t* out) {
    PutWord(out, request.transaction);
    PutWord(out + 2, 0);
    PutWord(out + 4, static_cast<unsigned>(1 + pduLength));
    out[6] = request.unit;
    return kMbapHeaderSize + 1 + pduLength;
}

}  // namespace

int BuildMbapRead(const MbapRequest& request, int start, uint8_t* out) {
    return Frame(request, BuildModbusReadPdu(PduRequestOf(request, start), out + 7), out);
}

int BuildMbapWrite(const MbapRequest& request, int start, const uint16_t* values, uint8_t* out) {
    return Frame(request, BuildModbusWritePdu(PduRequestOf(request, start), values, out + 7), out);
}

int BuildMbapGeneralReferenceWrite(const MbapRequest& request, int start, const uint16_t* values,
                                   uint8_t* out) {
    return BuildMbapWrite(request, start, values, out);
}

int MbapBytesWanted(const MbapReceiver& receiver) {
    int end = receiver.wanted < kMbapBufferSize ? receiver.wanted : kMbapBufferSize;
    return end - receiver.received;
}

MbapProgress MbapAccept(MbapReceiver& receiver, const uint8_t* buffer, int n) {
    bool hadHeader = receiver.received >= kMbapHeaderSize;
    receiver.received += n;
    if (!hadHeader && receiver.received >= kMbapHeaderSize)
        receiver.wanted = kMbapHeaderSize + static_cast<int>(Word(buffer + 4));
    if (receiver.wanted > kMbapBufferSize) return MbapProgress::TooLarge;
    return receiver.received >= receiver.wanted ? MbapProgress::Complete : MbapProgress::More;
}

namespace {

// The shortest reply PDU is an exception: function and code, after the unit.
constexpr int kShortestLength = 3;

bool StartsReply(const MbapRequest& request, const uint8_t* header) {
    const int length = static_cast<int>(Word(header + 4));
    return MbapTransaction(header) == request.transaction && Word(header + 2) == 0 &&
           length >= kShortestLength && length <= kMbapBufferSize - kMbapHeaderSize;
}

}  // namespace

MbapProgress MbapAcceptReply(const MbapRequest& request, MbapReceiver& receiver, uint8_t* buffer,
                             int n) {
    receiver.received += n;
    while (!receiver.aligned && receiver.received >= kMbapHeaderSize) {
        if (StartsReply(request, buffer)) {
            receiver.aligned = true;
            receiver.wanted = kMbapHeaderSize + static_cast<int>(Word(buffer + 4));
        } else {
            memmove(buffer, buffer + 1, static_cast<size_t>(--receiver.received));
        }
    }
    return receiver.aligned && receiver.received >= receiver.wanted ? MbapProgress::Complete
                                                                    : MbapProgress::More;
}

long MbapBytesLeft(const MbapReceiver& receiver) {
    return receiver.wanted > receiver.received ? receiver.wanted - receiver.received : 0;
}

uint16_t MbapTransaction(const uint8_t* frame) { return static_cast<uint16_t>(Word(frame)); }

bool MbapAnswers(const MbapRequest& request, const uint8_t* frame) {
    return MbapTransaction(frame) == request.transaction && Word(frame + 2) == 0;
}

const char* CheckMbapReply(const MbapRequest& request, const uint8_t* frame, int length, char* text,
                           size_t size, LinkFailure* failure) {
    // The unit identifier is the last byte of the header; the PDU follows.
    const int pduLength = length < 7 ? 0 : length - 7;
    const uint8_t unit = length < 7 ? 0 : frame[6];
    return CheckModbusReplyPdu(PduRequestOf(request, 0), unit, frame + 7, pduLength,
                               kTcpModbusReplies, text, size, failure);
}

void MbapReadValues(const uint8_t* frame, int count, uint16_t* values) {
    ModbusReplyValues(frame + 7, count, values);
}
