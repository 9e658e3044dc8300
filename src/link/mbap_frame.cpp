// Modbus TCP frame building and reply checking; numbers are high byte first.
#include "link/mbap_frame.h"

#include <cstdio>

#include "link/link_errors.h"

namespace {

constexpr uint8_t kReadHolding = 0x03;
constexpr uint8_t kReadInput = 0x04;
constexpr uint8_t kExceptionBit = 0x80;

void PutWord(uint8_t* at, unsigned value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

unsigned Word(const uint8_t* at) { return static_cast<unsigned>(at[0] << 8 | at[1]); }

void PutHeader(const MbapRequest& request, int length, uint8_t* out) {
    PutWord(out, request.transaction);
    PutWord(out + 2, 0);
    PutWord(out + 4, static_cast<unsigned>(length));
    out[6] = request.unit;
    out[7] = request.function;
}

void PutWords(const uint16_t* values, int count, uint8_t* out) {
    for (int i = 0; i < count; ++i) PutWord(out + 2 * i, values[i]);
}

bool IsRead(uint8_t function) { return function == kReadHolding || function == kReadInput; }

const char* Fail(char* text, size_t size, const char* message) {
    snprintf(text, size, "%s", message);
    return text;
}

const char* CheckException(const uint8_t* frame, int length, bool read, char* text, size_t size) {
    if (length < 9)
        return Fail(text, size, read ? "Read reply was wrong size" : "Write reply was wrong size");
    unsigned code = frame[8];
    if (const char* message = ModbusExceptionText(code)) return Fail(text, size, message);
    snprintf(text, size, "Modbus error reply %u", code);
    return text;
}

}  // namespace

int BuildMbapRead(const MbapRequest& request, int start, uint8_t* out) {
    PutHeader(request, 6, out);
    PutWord(out + 8, static_cast<unsigned>(start));
    PutWord(out + 10, static_cast<unsigned>(request.count));
    return 12;
}

int BuildMbapWrite(const MbapRequest& request, int start, const uint16_t* values, uint8_t* out) {
    PutHeader(request, 7 + 2 * request.count, out);
    PutWord(out + 8, static_cast<unsigned>(start));
    PutWord(out + 10, static_cast<unsigned>(request.count));
    out[12] = static_cast<uint8_t>(2 * request.count);
    PutWords(values, request.count, out + 13);
    return 13 + 2 * request.count;
}

int BuildMbapGeneralReferenceWrite(const MbapRequest& request, int start, const uint16_t* values,
                                   uint8_t* out) {
    PutHeader(request, 10 + 2 * request.count, out);
    out[8] = static_cast<uint8_t>(7 + 2 * request.count);
    out[9] = 3;  // reference type: extended register file
    PutWord(out + 10, 0);
    PutWord(out + 12, static_cast<unsigned>(start));
    PutWord(out + 14, static_cast<unsigned>(request.count));
    PutWords(values, request.count, out + 16);
    return 16 + 2 * request.count;
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

long MbapBytesLeft(const MbapReceiver& receiver) {
    return receiver.wanted > receiver.received ? receiver.wanted - receiver.received : 0;
}

uint16_t MbapTransaction(const uint8_t* frame) { return static_cast<uint16_t>(Word(frame)); }

bool MbapAnswers(const MbapRequest& request, const uint8_t* frame) {
    return MbapTransaction(frame) == request.transaction && Word(frame + 2) == 0;
}

const char* CheckMbapReply(const MbapRequest& request, const uint8_t* frame, int length, char* text,
                           size_t size) {
    bool read = IsRead(request.function);
    // Without its function code a frame cannot be checked at all.
    if (length < 8)
        return Fail(text, size, read ? "Read reply was wrong size" : "Write reply was wrong size");
    if (frame[6] != request.unit) return Fail(text, size, "Reply drop doesn't match query");
    if (frame[7] == (request.function | kExceptionBit))
        return CheckException(frame, length, read, text, size);
    if (frame[7] != request.function) return Fail(text, size, "Reply opcode doesn't match query");
    if (!read) return nullptr;
    if (length < 9) return Fail(text, size, "Read reply was wrong size");
    if (frame[8] != 2 * request.count) {
        snprintf(text, size, "Reply length %u doesn't match query %u", frame[8],
                 static_cast<unsigned>(request.count));
        return text;
    }
    // The byte count must not promise data the frame does not carry.
    if (length < 9 + 2 * request.count) return Fail(text, size, "Read reply was wrong size");
    return nullptr;
}

void MbapReadValues(const uint8_t* frame, int count, uint16_t* values) {
    for (int i = 0; i < count; ++i) values[i] = static_cast<uint16_t>(Word(frame + 9 + 2 * i));
}
